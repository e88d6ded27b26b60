// POSIX part of input_file.h: opening by name, and the identity of a file
// from stat and fstat.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "files/input_file.h"

namespace files {

namespace {

FoundFile found(const struct stat& status);

}  // namespace

std::optional<FoundFile> find_file(const std::string& path) {
  struct stat status;
  const int result = path == "-" ? ::fstat(0, &status) : ::stat(path.c_str(), &status);
  if (result != 0) return std::nullopt;
  FoundFile file = found(status);
  file.writable = path == "-" || ::access(path.c_str(), W_OK) == 0;
  return file;
}

Status InputFile::open(const std::string& path, std::unique_ptr<InputFile>* file) {
  int fd;
  do {
    fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return Status::failed(std::string(std::strerror(errno)));
  file->reset(new InputFile(fd, true));
  return Status();
}

std::optional<FileIdentity> InputFile::identity() const {
  struct stat status;
  if (::fstat(fd_, &status) != 0) return std::nullopt;
  return found(status).identity;
}

namespace {

FoundFile found(const struct stat& status) {
  return {.identity = {.device = static_cast<std::uint64_t>(status.st_dev),
                       .file = static_cast<std::uint64_t>(status.st_ino)},
          .regular = S_ISREG(status.st_mode)};
}

}  // namespace

}  // namespace files
