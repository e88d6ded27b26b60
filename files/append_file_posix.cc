// POSIX implementation of FileAppender (append_file.h).
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <span>

#include "files/append_file.h"
#include "files/disk.h"

namespace files {

namespace {

enum class Lock { held, unsupported, busy, failed };

int open_for_append(const char* path);
Lock lock_for_append(int fd);
// How a file ends: whether a block must begin with a line end, and whether
// it needs the file's first line.
struct Ending {
  bool line_end_first = false;
  bool header_first = false;
};
Ending ending_of(int fd, off_t size);
int write_all(int fd, std::span<const std::string_view> pieces, std::size_t* written,
              bool one_piece);
void cut_back(int fd, off_t start, std::size_t written);
AppendResult failure(int error);
constexpr std::string_view kLockBusy = "locked by another program for too long";

}  // namespace

// Every write lands at the end whatever else appends (O_APPEND). Under the
// lock the block is written, stored on the disk and, on any failure, cut
// back; closing the descriptor lets the lock go.
AppendResult FileAppender::append(std::string_view block) {
  const int fd = open_for_append(path_);
  if (fd < 0) return failure(errno);
  struct stat status;
  if (::fstat(fd, &status) != 0) {
    const int error = errno;
    ::close(fd);
    return failure(error);
  }
  // Only a regular file can be locked, read, stored and cut back; anything
  // else (a pipe with a reader, a device) gets the block in one write or not
  // at all.
  const bool regular = S_ISREG(status.st_mode);
  const Lock lock = regular ? lock_for_append(fd) : Lock::unsupported;
  if (lock == Lock::busy || lock == Lock::failed) {
    const int error = errno;
    ::close(fd);
    return lock == Lock::busy ? AppendResult{false, kLockBusy} : failure(error);
  }
  // Under the lock no other appender moves the end, so the size now is where
  // this block starts and what a failed append is cut back to. Without the
  // lock the size is only a guess, good enough for the seam.
  off_t start = -1;
  if (lock == Lock::held && ::fstat(fd, &status) == 0) start = status.st_size;
  const Ending ending = regular ? ending_of(fd, status.st_size) : Ending{};
  const bool header = ending.header_first && !header_.empty();
  const std::string_view pieces[4] = {ending.line_end_first ? line_end_ : std::string_view(),
                                      header ? header_ : std::string_view(),
                                      header ? line_end_ : std::string_view(), block};

  std::size_t written = 0;
  int error = write_all(fd, pieces, &written, lock != Lock::held);
  if (error == 0 && regular) error = store(fd);
  if (error != 0 && written > 0 && regular) cut_back(fd, start, written);
  // A file this append began (new, or empty) is stored in its folder too,
  // so that a power cut just after a child's first test cannot lose it.
  if (error == 0 && start == 0) store_folder_of(path_);
  // Closing releases the lock.
  if (::close(fd) != 0 && error == 0) error = errno;
  return error == 0 ? AppendResult{} : failure(error);
}

namespace {

// Opens or creates the file for appending, without waiting: O_NONBLOCK makes
// the open of a named pipe that nobody reads fail at once instead of waiting
// for ever (for a regular file it changes nothing). A regular file, or a
// missing one, is opened for reading too, so that its last bytes can be
// read; but not anything else, since opening a named pipe for reading and
// writing would stand in for its missing reader. A file that may be written
// but not read is opened for writing alone. Returns -1 with errno set when
// it cannot be opened.
int open_for_append(const char* path) {
  constexpr int kFlags = O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK;
  struct stat status;
  const bool readable = ::stat(path, &status) == 0 ? S_ISREG(status.st_mode) : errno == ENOENT;
  if (readable) {
    const int fd = ::open(path, O_RDWR | kFlags, 0666);
    if (fd >= 0 || errno != EACCES) return fd;
  }
  return ::open(path, O_WRONLY | kFlags, 0666);
}

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

// Whether the file of `size` bytes must get a line end before the block
// (needs_line_end_first). A file that cannot be read (opened for writing
// alone) gets none.
Ending ending_of(int fd, off_t size) {
  if (size <= 0) return {.line_end_first = false, .header_first = true};
  char tail[kTailBytes];
  const off_t from = size > static_cast<off_t>(kTailBytes) ? size - kTailBytes : 0;
  ssize_t n;
  do {
    n = ::pread(fd, tail, static_cast<std::size_t>(size - from), from);
  } while (n < 0 && errno == EINTR);
  if (n <= 0) return {};
  const std::string_view read(tail, static_cast<std::size_t>(n));
  return {.line_end_first = needs_line_end_first(read, from == 0),
          .header_first = needs_header_first(read, from == 0)};
}

// Writes the pieces one after the other, counting the bytes written in
// `*written`. With `one_piece` (no lock held, so a second write could land
// after somebody else's bytes) they must go in a single write. Returns 0, or
// the errno value of the failure (ENOSPC for a write that stored nothing or,
// with `one_piece`, fell short).
int write_all(int fd, std::span<const std::string_view> pieces, std::size_t* written,
              bool one_piece) {
  std::size_t total = 0;
  for (const std::string_view& piece : pieces) total += piece.size();
  while (*written < total) {
    // The pieces from `*written` on.
    struct iovec rest[4];
    int count = 0;
    std::size_t skip = *written;
    for (const std::string_view& piece : pieces) {
      if (count == 4) break;
      if (skip >= piece.size()) {
        skip -= piece.size();
        continue;
      }
      rest[count].iov_base = const_cast<char*>(piece.data() + skip);
      rest[count].iov_len = piece.size() - skip;
      ++count;
      skip = 0;
    }
    const ssize_t n = ::writev(fd, rest, count);
    if (n > 0) {
      *written += static_cast<std::size_t>(n);
      if (one_piece && *written < total) return ENOSPC;
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else {
      return n < 0 ? errno : ENOSPC;
    }
  }
  return 0;
}

// Takes the `written` bytes of a failed append back off the file: back to
// `start`, the size under the lock, or, without the lock, to where they
// began while they still end the file. The cut is then stored too, so that
// after a power cut the file does not hold part of a block. Nothing more
// can be done if the cut fails; the block is reported lost all the same.
void cut_back(int fd, off_t start, std::size_t written) {
  if (start < 0) {
    struct stat status;
    const off_t end = ::lseek(fd, 0, SEEK_CUR);
    if (end >= static_cast<off_t>(written) && ::fstat(fd, &status) == 0 && status.st_size == end) {
      start = end - static_cast<off_t>(written);
    }
  }
  if (start < 0) return;
  int result;
  while ((result = ::ftruncate(fd, start)) != 0 && errno == EINTR) {
  }
  if (result == 0) store(fd);
}

// The system's text for `error`, e.g. "No space left on device".
AppendResult failure(int error) { return {false, std::strerror(error)}; }

}  // namespace

}  // namespace files
