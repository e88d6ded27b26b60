// The files mathdrill-progress reads and writes, behind one interface: the
// logs, opened by name ("-" is standard input) and told apart when two
// names lead to one file, and the page, written whole. The run uses the
// interface; main() plugs in SystemFiles, the platform's files; tests plug
// in files held in memory (tests/support/progress_files.h).
#ifndef PROGRESS_LOG_FILES_H_
#define PROGRESS_LOG_FILES_H_

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "console/byte_stream.h"
#include "files/input_file.h"
#include "files/output_file.h"
#include "files/status.h"

namespace progress {

// A file opened for reading.
class Input : public console::ByteSource {
 public:
  // Whether reading stopped before the end of the file: failed with the
  // system's reason for a read error, else done.
  virtual files::Status read_status() const = 0;
  // Which file this is; nothing when that cannot be told.
  virtual std::optional<files::FileIdentity> identity() const = 0;
};

// The files the program reads and writes. main() plugs in the platform's
// files (files/input_file.h, files/output_file.h); tests hand out bytes
// from memory.
class Files {
 public:
  virtual ~Files() = default;
  // Opens `name` for reading into `*input`; "-" is standard input. When it
  // cannot be opened: failed with the system's reason, and `*input` as it
  // was.
  virtual files::Status open(const std::string& name, std::unique_ptr<Input>* input) = 0;
  // The file of that name, without opening it; "-" is standard input.
  // Nothing when there is no such file.
  virtual std::optional<files::FoundFile> find(const std::string& name) = 0;
  // Writes `bytes` as the whole of the file `name`, replacing it at once
  // when complete. When that fails: not written, with the system's reason,
  // and the file `name` as it was.
  virtual files::WriteResult write(const std::string& name, std::string_view bytes) = 0;
};

// The platform's files: logs opened with files::InputFile, found with
// files::find_file, and the page written with files::write_whole_file;
// their failures are those functions' failures.
class SystemFiles : public Files {
 public:
  files::Status open(const std::string& name, std::unique_ptr<Input>* input) override;
  std::optional<files::FoundFile> find(const std::string& name) override;
  files::WriteResult write(const std::string& name, std::string_view bytes) override;
};

}  // namespace progress

#endif  // PROGRESS_LOG_FILES_H_
