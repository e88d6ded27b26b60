#include "console/output_file.h"

#include <cerrno>
#include <cstring>

#include "console/system.h"

namespace console {

WriteResult write_whole_file(const std::string& path, std::string_view bytes) {
  const int fd = open_file(path, /*for_writing=*/true);
  if (fd < 0) return {.written = false, .reason = std::strerror(errno)};
  errno = 0;
  const bool written = FdSink(fd).write(bytes.data(), bytes.size());
  const int write_error = errno;
  // A close error (a full disk on a network file system) means the bytes
  // may not all be there.
  const bool closed = close_file(fd);
  if (written && closed) return {};
  const int error = written ? errno : write_error;
  return {.written = false,
          .reason = error != 0 ? std::strerror(error) : "nothing could be written"};
}

}  // namespace console
