// Reading a file: a results log (or standard input) opened by name and read
// as a byte stream, with the system's reason when it cannot be opened or
// read to its end. mathdrill-progress's main() opens its logs with it;
// everything else reads through console::ByteSource. Files are opened
// through system.h in binary mode, so the bytes pass through unchanged.
#ifndef CONSOLE_INPUT_FILE_H_
#define CONSOLE_INPUT_FILE_H_

#include <cstddef>
#include <memory>
#include <string>

#include "console/byte_stream.h"
#include "console/system.h"

namespace console {

class InputFile;

// How opening a file went: the file, or null with the system's reason
// ("No such file or directory").
struct OpenResult {
  std::unique_ptr<InputFile> file;
  std::string reason;
};

// A file, or standard input, opened for reading.
class InputFile : public ByteSource {
 public:
  // Opens the file at `path` for reading. When it cannot be opened: no
  // file, and the system's reason.
  static OpenResult open(const std::string& path);
  // Standard input. Never fails; a read error shows as error() as for files.
  static std::unique_ptr<InputFile> standard_input();

  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;
  // Closes the file that open() opened; standard input stays open.
  ~InputFile() override;

  // Reads up to `size` bytes; interrupted reads are retried. Returns 0 at
  // the end of the file and on a read error, after which error() holds the
  // system's reason.
  std::size_t read(char* buffer, std::size_t size) override;

  // Why reading stopped early: the system's reason for a read error, or
  // empty when the file was read to its end (or is not read to it yet).
  std::string error() const;

 private:
  InputFile(int fd, bool owned) : fd_(fd), owned_(owned), source_(fd) {}

  int fd_;
  bool owned_;
  FdSource source_;
};

}  // namespace console

#endif  // CONSOLE_INPUT_FILE_H_
