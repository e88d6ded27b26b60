#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "files/disk.h"

namespace files {

int store(int fd) {
  while (::fsync(fd) != 0) {
    if (errno == EINVAL) return 0;
    if (errno != EINTR) return errno;
  }
  return 0;
}

void store_folder_of(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  store(fd);
  ::close(fd);
}

}  // namespace files
