// POSIX implementation of FileAppender (append_file.h).
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "console/append_file.h"

namespace console {

namespace {

enum class Lock { held, unsupported, busy, failed };

Lock lock_for_append(int fd);
AppendResult failure(int error);
constexpr std::string_view kLockBusy = "locked by another program for too long";

}  // namespace

// The descriptor is opened with O_APPEND, so every write lands at the end
// whatever else appends, and with O_NONBLOCK, so that a named pipe that
// nobody reads makes the open fail at once instead of waiting for ever (for
// a regular file it changes nothing).
AppendResult FileAppender::append(std::string_view block) {
  const int fd =
      ::open(path_.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0666);
  if (fd < 0) return failure(errno);
  struct stat status;
  if (::fstat(fd, &status) != 0) {
    const int error = errno;
    ::close(fd);
    return failure(error);
  }
  // Only a regular file can be locked and cut back; anything else (a pipe
  // with a reader, a device) gets the block in one write or not at all.
  const bool regular = S_ISREG(status.st_mode);
  const Lock lock = regular ? lock_for_append(fd) : Lock::unsupported;
  if (lock == Lock::busy || lock == Lock::failed) {
    const int error = errno;
    ::close(fd);
    return lock == Lock::busy ? AppendResult{false, kLockBusy} : failure(error);
  }
  // Under the lock no other appender moves the end, so the size now is where
  // this block starts and what a short write is cut back to.
  off_t start = -1;
  if (lock == Lock::held && ::fstat(fd, &status) == 0) start = status.st_size;

  std::size_t written = 0;
  int error = 0;
  while (written < block.size()) {
    const ssize_t n = ::write(fd, block.data() + written, block.size() - written);
    if (n > 0) {
      written += static_cast<std::size_t>(n);
      // Without the lock a second write could land after somebody else's
      // bytes, so the block must go in one piece.
      if (lock != Lock::held && written < block.size()) {
        error = ENOSPC;
        break;
      }
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else {
      error = n < 0 ? errno : ENOSPC;
      break;
    }
  }
  if (error != 0 && written > 0 && regular) {
    // Without the lock (a file system that has none) the block's own bytes
    // are known only while they still end the file.
    if (start < 0) {
      const off_t end = ::lseek(fd, 0, SEEK_CUR);
      if (end >= static_cast<off_t>(written) && ::fstat(fd, &status) == 0 &&
          status.st_size == end) {
        start = end - static_cast<off_t>(written);
      }
    }
    // Nothing more can be done if the cut fails; the block is reported lost.
    while (start >= 0 && ::ftruncate(fd, start) != 0 && errno == EINTR) {
    }
  }
  // Closing releases the lock.
  if (::close(fd) != 0 && error == 0) error = errno;
  return error == 0 ? AppendResult{} : failure(error);
}

namespace {

// Takes a write lock on the whole file, the lock that every appender takes.
// Another drill holds it only while it writes, but one that is stopped there
// (by a debugger, or a terminal's stop key at that very moment) must not hang
// this one: the wait ends after about two seconds with `busy`. File systems
// without locks give `unsupported`; any other error `failed`, with errno set.
Lock lock_for_append(int fd) {
  struct flock whole = {};
  whole.l_type = F_WRLCK;
  whole.l_whence = SEEK_SET;
  whole.l_start = 0;
  whole.l_len = 0;
  for (int attempt = 0; attempt < 200;) {
    if (::fcntl(fd, F_SETLK, &whole) == 0) return Lock::held;
    if (errno == EINTR) continue;
    if (errno == ENOLCK || errno == EINVAL || errno == EOPNOTSUPP) return Lock::unsupported;
    if (errno != EACCES && errno != EAGAIN) return Lock::failed;
    const struct timespec pause = {0, 10 * 1000 * 1000};
    ::nanosleep(&pause, nullptr);
    ++attempt;
  }
  return Lock::busy;
}

// The system's text for `error`, e.g. "No space left on device".
AppendResult failure(int error) { return {false, std::strerror(error)}; }

}  // namespace

}  // namespace console
