#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <string_view>

#include "files/disk.h"

namespace files {

int store(int fd) {
  while (::fsync(fd) != 0) {
    if (errno == EINVAL) return 0;
    if (errno != EINTR) return errno;
  }
  return 0;
}

void store_folder_of(std::string_view path) {
  // The folder's name in a buffer of its own rather than on the heap: the
  // drill calls this, and stays clear of the C++ runtime's allocation.
  char folder[PATH_MAX];
  const std::size_t slash = path.rfind('/');
  const std::string_view name = slash == std::string_view::npos ? "." : path.substr(0, slash + 1);
  if (name.size() >= sizeof folder) return;
  std::memcpy(folder, name.data(), name.size());
  folder[name.size()] = '\0';
  const int fd = ::open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  store(fd);
  ::close(fd);
}

}  // namespace files
