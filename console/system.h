// The platform behind the console layer: the standard input, output and
// error descriptors as byte streams, the system clock, the results-log file
// appender, and process set-up. Only main() and process-level tests use it;
// everything else takes the interfaces.
#ifndef CONSOLE_SYSTEM_H_
#define CONSOLE_SYSTEM_H_

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "console/append_file.h"
#include "console/byte_stream.h"
#include "console/clock.h"

namespace console {

// Reads from a file descriptor. A read error counts as end of input;
// interrupted reads are retried.
class FdSource : public ByteSource {
 public:
  explicit FdSource(int fd) : fd_(fd) {}
  std::size_t read(char* buffer, std::size_t size) override;

 private:
  int fd_;
};

// Writes to a file descriptor, retrying short and interrupted writes.
// Returns false when the descriptor refuses (closed, a pipe with no reader).
class FdSink : public ByteSink {
 public:
  explicit FdSink(int fd) : fd_(fd) {}
  bool write(const char* data, std::size_t size) override;

 private:
  int fd_;
};

// The platform's wall clock and time-zone rules.
class SystemClock : public Clock {
 public:
  std::optional<CalendarTime> now() override;
  std::optional<CivilTime> local_time(CalendarTime time) override;
};

// Appends blocks to the file at `path`, created if missing, never truncated
// below what it held before.
class FileAppender : public Appender {
 public:
  explicit FileAppender(std::string path) : path_(std::move(path)) {}
  bool append(std::string_view block) override;

 private:
  std::string path_;
};

// Process set-up before the drill runs: a write to a pipe whose reader has
// gone must fail as a write error, not kill the process, so SIGPIPE is
// ignored. Console interrupts keep their default action.
void prepare_process();

}  // namespace console

#endif  // CONSOLE_SYSTEM_H_
