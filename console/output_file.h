// Writing a whole file in one go: mathdrill-progress's page. Only
// mathdrill-progress's main() uses it. The file is written through
// system.h in binary mode, so the bytes land unchanged.
#ifndef CONSOLE_OUTPUT_FILE_H_
#define CONSOLE_OUTPUT_FILE_H_

#include <string>
#include <string_view>

namespace console {

// How writing a file went: the system's reason for a failure
// ("Permission denied"); empty when every byte was written.
struct WriteResult {
  bool written = true;
  std::string reason;
};

// Creates or truncates the file at `path` and writes `bytes` to it. When it
// cannot be opened, written in full or closed: not written, with the
// reason; the file may then hold part of the bytes.
WriteResult write_whole_file(const std::string& path, std::string_view bytes);

}  // namespace console

#endif  // CONSOLE_OUTPUT_FILE_H_
