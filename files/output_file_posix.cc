// POSIX part of output_file.h: a new file beside the target, fsync, rename.
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "console/system.h"
#include "files/output_file.h"

namespace files {

namespace {

int create_beside(const std::string& path, std::string* created);
WriteResult failure(int error);

}  // namespace

WriteResult write_whole_file(const std::string& path, std::string_view bytes) {
  std::string temporary;
  const int fd = create_beside(path, &temporary);
  if (fd < 0) return failure(errno);
  errno = 0;
  bool written = console::FdSink(fd).write(bytes.data(), bytes.size());
  int error = errno;
  if (written && ::fsync(fd) != 0) {
    written = false;
    error = errno;
  }
  // A close error (a full disk on a network file system) means the bytes
  // may not all be there.
  if (::close(fd) != 0 && written) {
    written = false;
    error = errno;
  }
  if (written && ::rename(temporary.c_str(), path.c_str()) != 0) {
    written = false;
    error = errno;
  }
  if (written) return {};
  ::unlink(temporary.c_str());
  return failure(error);
}

void ignore_file_size_signal() { ::signal(SIGXFSZ, SIG_IGN); }

namespace {

// Creates a file that did not exist before, named after `path` with the
// process number and a count added ("page.html.4711-0.tmp"), so that it lies
// in the same folder and file system and the rename cannot move it across
// disks. Returns its descriptor and sets `created`, or -1 with errno set.
int create_beside(const std::string& path, std::string* created) {
  for (unsigned attempt = 0;; ++attempt) {
    *created = path + "." + std::to_string(::getpid()) + "-" + std::to_string(attempt) + ".tmp";
    const int fd = ::open(created->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || (errno != EEXIST && errno != EINTR) || attempt == 100) return fd;
  }
}

WriteResult failure(int error) {
  return {.written = false,
          .reason = error != 0 ? std::strerror(error) : "nothing could be written"};
}

}  // namespace

}  // namespace files
