// The platform's files for run_progress: logs opened with
// console::FileSource (standard input for "-"), and the page written with
// console::write_whole_file. Only main() uses it.
#ifndef PROGRESS_SYSTEM_FILES_H_
#define PROGRESS_SYSTEM_FILES_H_

#include <memory>
#include <string>
#include <string_view>

#include "progress/run_progress.h"

namespace progress {

class SystemFiles : public Files {
 public:
  // Failures are those of console::FileSource::open.
  std::unique_ptr<Input> open(const std::string& name, std::string* reason) override;
  // Failures are those of console::write_whole_file.
  bool write(const std::string& name, std::string_view bytes, std::string* reason) override;
};

}  // namespace progress

#endif  // PROGRESS_SYSTEM_FILES_H_
