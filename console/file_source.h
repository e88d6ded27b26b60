// Files for mathdrill-progress: a results log (or standard input) read as a
// byte stream in large pieces, a whole file written in one go, and whether
// standard output is a terminal that shows UTF-8 (standard output and error
// are system.h's FdSink). Only mathdrill-progress's main() and its file opener use
// it; everything else takes console::ByteSource and console::ByteSink.
// Files are read and written through the descriptors of system.h, in binary
// mode, so the bytes pass through unchanged; file_source_posix.cc and
// file_source_windows.cc hold what differs: the terminal and process set-up.
#ifndef CONSOLE_FILE_SOURCE_H_
#define CONSOLE_FILE_SOURCE_H_

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "console/byte_stream.h"
#include "console/system.h"

namespace console {

// A file, or standard input, opened for reading.
class FileSource : public ByteSource {
 public:
  // Opens the file at `path` for reading. Returns null, with the system's
  // reason (e.g. "No such file or directory") in `*reason`, when it cannot
  // be opened.
  static std::unique_ptr<FileSource> open(const std::string& path, std::string* reason);
  // Standard input. Never fails; a read error shows as error() as for files.
  static std::unique_ptr<FileSource> standard_input();

  FileSource(const FileSource&) = delete;
  FileSource& operator=(const FileSource&) = delete;
  // Closes the file that open() opened; standard input stays open.
  ~FileSource() override;

  // Reads up to `size` bytes; interrupted reads are retried. Returns 0 at
  // the end of the file and on a read error, after which error() holds the
  // system's reason.
  std::size_t read(char* buffer, std::size_t size) override;

  // Why reading stopped early: the system's reason for a read error, or
  // empty when the file was read to its end (or is not read to it yet).
  std::string error() const;

 private:
  FileSource(int fd, bool owned) : fd_(fd), owned_(owned), source_(fd) {}

  int fd_;
  bool owned_;
  FdSource source_;
};

// Creates or truncates the file at `path` and writes `bytes` to it. Returns
// false, with the system's reason in `*reason`, when it cannot be opened,
// written in full or closed; the file may then hold part of the bytes.
bool write_whole_file(const std::string& path, std::string_view bytes, std::string* reason);

// Whether standard output is a terminal that shows UTF-8. On POSIX systems:
// it is a terminal and the first of LC_ALL, LC_CTYPE and LANG that is set
// and not empty names UTF-8 ("UTF-8" or "utf8", in any case). On Windows:
// it is a console, whose output code page is then set to UTF-8; false when
// that cannot be done.
bool utf8_terminal_output();

// Whether the locale that the environment chooses for character types is a
// UTF-8 one: the first of the values of LC_ALL, LC_CTYPE and LANG that is
// set (not null) and not empty contains "UTF-8" or "utf8" in any case (e.g.
// "en_GB.UTF-8", "C.utf8"). False when none is set. Portable: the POSIX
// utf8_terminal_output() asks it with the environment's values.
bool utf8_locale(const char* lc_all, const char* lc_ctype, const char* lang);

}  // namespace console

#endif  // CONSOLE_FILE_SOURCE_H_
