// Reading a file: a results log (or standard input) opened by name and read
// as a byte stream, with the system's reason when it cannot be opened or
// read to its end; and which file a name stands for, so that two names of
// one file can be told from two files. mathdrill-progress's main() opens its
// logs with it; everything else reads through console::ByteSource. Files are
// opened in binary mode, so the bytes pass through unchanged; names are
// UTF-8, which on Windows is turned into the system's UTF-16 names.
// input_file_posix.cc and input_file_windows.cc hold what differs by
// platform.
#ifndef FILES_INPUT_FILE_H_
#define FILES_INPUT_FILE_H_

#include <compare>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "console/byte_stream.h"
#include "console/system.h"
#include "files/status.h"

namespace files {

class InputFile;

// Which file a name or an open file stands for: the device and the file's
// number on it (POSIX st_dev and st_ino; on Windows the volume serial number
// and the file index). Two names of one file (a link, "./r.txt" and "r.txt")
// have the same identity.
struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t file = 0;
  friend auto operator<=>(const FileIdentity&, const FileIdentity&) = default;
};

// A file found by name: which file it is, whether it is a regular file (not
// a folder, a device or a pipe), and whether the user may write it.
struct FoundFile {
  FileIdentity identity;
  bool regular = true;
  bool writable = true;  // whether this user may write it
};

// The file at `path`, symbolic links followed; "-" is standard input.
// Nothing when there is no such file or it cannot be examined.
std::optional<FoundFile> find_file(const std::string& path);

// A file, or standard input, opened for reading.
class InputFile : public console::ByteSource {
 public:
  // Opens the file at `path` for reading into `*file`. When it cannot be
  // opened: failed with the system's reason ("No such file or directory"),
  // and `*file` as it was.
  static Status open(const std::string& path, std::unique_ptr<InputFile>* file);
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

  // Whether reading stopped early: failed with the system's reason for a
  // read error; done when the file was read to its end (or is not read to
  // it yet).
  Status read_status() const;

  // Which file this is; nothing when the system cannot tell (on Windows, a
  // pipe).
  std::optional<FileIdentity> identity() const;

 private:
  InputFile(int fd, bool owned) : fd_(fd), owned_(owned), source_(fd) {}

  int fd_;
  bool owned_;
  console::FdSource source_;
};

}  // namespace files

#endif  // FILES_INPUT_FILE_H_
