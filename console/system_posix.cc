// POSIX implementation of the platform layer declared in system.h.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>

#include "console/system.h"

namespace console {

std::size_t FdSource::read(char* buffer, std::size_t size) {
  for (;;) {
    ssize_t n = ::read(fd_, buffer, size);
    if (n >= 0) return static_cast<std::size_t>(n);
    if (errno != EINTR) return 0;
  }
}

bool FdSink::write(const char* data, std::size_t size) {
  while (size > 0) {
    ssize_t n = ::write(fd_, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

std::optional<CalendarTime> SystemClock::now() {
  time_t seconds = ::time(nullptr);
  if (seconds == static_cast<time_t>(-1)) return std::nullopt;
  return static_cast<CalendarTime>(seconds);
}

std::optional<CivilTime> SystemClock::local_time(CalendarTime time) {
  time_t seconds = static_cast<time_t>(time);
  if (static_cast<CalendarTime>(seconds) != time) return std::nullopt;
  struct tm fields;
  if (::localtime_r(&seconds, &fields) == nullptr) return std::nullopt;
  return civil_from_tm(fields);
}

// One write() of the whole block on a descriptor opened with O_APPEND, so
// the kernel places it at the end in one piece even when other drills append
// to the same file. A short write (a full disk) is cut back off again, unless
// somebody else has appended after it meanwhile. O_NONBLOCK makes the open
// fail at once, instead of waiting for ever, when the path is a named pipe
// that nobody reads; it changes nothing for a regular file.
bool FileAppender::append(std::string_view block) {
  int fd = ::open(path_.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0666);
  if (fd < 0) return false;
  ssize_t n;
  do {
    n = ::write(fd, block.data(), block.size());
  } while (n < 0 && errno == EINTR);
  bool whole = n == static_cast<ssize_t>(block.size());
  if (!whole && n > 0) {
    off_t end = ::lseek(fd, 0, SEEK_CUR);
    struct stat status;
    if (end >= n && ::fstat(fd, &status) == 0 && status.st_size == end) {
      // Nothing more can be done if the cut fails; the block is reported lost.
      if (::ftruncate(fd, end - n) != 0) whole = false;
    }
  }
  if (::close(fd) != 0) whole = false;
  return whole;
}

// A write past the file-size limit (ulimit -f), to records.txt or to a file
// that standard output goes to, must fail as a write error too, not kill the
// drill, so SIGXFSZ is ignored as well.
void prepare_process() {
  ::signal(SIGPIPE, SIG_IGN);
  ::signal(SIGXFSZ, SIG_IGN);
}

}  // namespace console
