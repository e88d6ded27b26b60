// POSIX implementation of the platform layer declared in system.h.
#include <fcntl.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>

#include "console/system.h"

namespace console {

std::size_t FdSource::read(char* buffer, std::size_t size) {
  for (;;) {
    ssize_t n = ::read(fd_, buffer, size);
    if (n >= 0) return static_cast<std::size_t>(n);
    if (errno != EINTR) {
      error_ = errno;
      return 0;
    }
  }
}

std::size_t StandardInput::read(char* buffer, std::size_t size) {
  return bytes_.read(buffer, size);
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

bool StandardOutput::write(const char* data, std::size_t size) { return bytes_.write(data, size); }

bool close_file(int fd) { return ::close(fd) == 0; }

std::uint64_t SystemClock::milliseconds() {
  struct timespec now;
  if (::clock_gettime(CLOCK_MONOTONIC, &now) != 0) return 0;
  return static_cast<std::uint64_t>(now.tv_sec) * 1000 +
         static_cast<std::uint64_t>(now.tv_nsec) / 1'000'000;
}

// Read with time(), as other programs read the calendar time: on Linux
// clock_gettime(CLOCK_REALTIME) may be a tick ahead of it, and a test would
// then end after a time another program read later.
std::optional<CalendarTime> SystemClock::now() {
  time_t seconds = ::time(nullptr);
  if (seconds == static_cast<time_t>(-1)) return std::nullopt;
  return static_cast<CalendarTime>(seconds);
}

std::optional<text::CivilTime> SystemClock::local_time(CalendarTime time) {
  time_t seconds = static_cast<time_t>(time);
  if (static_cast<CalendarTime>(seconds) != time) return std::nullopt;
  struct tm fields;
  if (::localtime_r(&seconds, &fields) == nullptr) return std::nullopt;
  return civil_from_tm(fields);
}

unsigned console_process_count() { return 0; }

void use_binary_standard_streams() {}

// A write past the file-size limit (ulimit -f), to records.txt or to a file
// that standard output goes to, must fail as a write error too, not kill the
// drill, so SIGXFSZ is ignored as well.
void prepare_process() {
  ::signal(SIGPIPE, SIG_IGN);
  ::signal(SIGXFSZ, SIG_IGN);
}

}  // namespace console
