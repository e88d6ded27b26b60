// The platform behind the console: the standard input, output and
// error descriptors as byte streams, the system clock, the console window,
// and process set-up. Only main() and process-level tests use it; everything
// else takes the interfaces. system_posix.cc and
// system_windows.cc implement it; the one platform difference visible here
// is whether the standard streams are text streams (StandardStreams).
#ifndef CONSOLE_SYSTEM_H_
#define CONSOLE_SYSTEM_H_

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "console/byte_stream.h"
#include "console/clock.h"
#include "console/text_mode.h"
#include "text/utf16_decoder.h"
#include "text/utf16_encoder.h"

namespace console {

// Reads from a file descriptor. A read error counts as end of input, and
// error() then holds its errno value; interrupted reads are retried.
class FdSource : public ByteSource {
 public:
  explicit FdSource(int fd) : fd_(fd) {}
  std::size_t read(char* buffer, std::size_t size) override;
  // The errno value of the read error that ended the input, or 0.
  int error() const { return error_; }

 private:
  int fd_;
  int error_ = 0;
};

// The standard input as the drill reads it. Where it is a console that
// hands out UTF-16 (Windows), it is read as UTF-16 and passed on in UTF-8,
// so that what is typed arrives in UTF-8 whatever the console's code page;
// anything else (a pipe, a file, every other platform) is read as the
// bytes it holds, through FdSource. A read error counts as end of input.
class StandardInput : public ByteSource {
 public:
  std::size_t read(char* buffer, std::size_t size) override;

 private:
  FdSource bytes_{0};
#ifdef _WIN32
  std::size_t read_console(char* buffer, std::size_t size);
  bool fill_from_console();

  static constexpr std::size_t kUnits = 256;  // UTF-16 units read at once
  enum class Kind{unknown, console, bytes};
  Kind kind_ = Kind::unknown;
  bool console_ended_ = false;
  text::Utf16Decoder decoder_;
  char utf8_[text::kUtf8BytesPerUnit * (kUnits + 1)];  // decoded, not yet read
  std::size_t utf8_at_ = 0;
  std::size_t utf8_end_ = 0;
#endif
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

// The standard output or error as the drill writes them. Where the
// descriptor is a console that takes UTF-16 (Windows), the UTF-8 written is
// handed to it as UTF-16 (WriteConsoleW), so that a name shows as it was
// typed whatever the console's code page, and nothing of the console's
// state is changed; anything else (a pipe, a file, every other platform)
// gets the bytes, through FdSink. Returns false when the console or the
// descriptor refuses.
class StandardOutput : public ByteSink {
 public:
#ifdef _WIN32
  explicit StandardOutput(int fd) : bytes_(fd), fd_(fd) {}
#else
  explicit StandardOutput(int fd) : bytes_(fd) {}
#endif
  bool write(const char* data, std::size_t size) override;

 private:
  FdSink bytes_;
#ifdef _WIN32
  int fd_;
  bool write_console(const char* data, std::size_t size);
  enum class Kind{unknown, console, bytes};
  Kind kind_ = Kind::unknown;
  text::Utf16Encoder encoder_;
#endif
};

// Closes a descriptor. Returns false, with errno set, when the system
// reports an error (on a network file system, bytes that could not be
// stored).
bool close_file(int fd);

// The platform's wall clock and time-zone rules.
class SystemClock : public Clock {
 public:
  std::optional<CalendarTime> now() override;
  std::optional<text::CivilTime> local_time(CalendarTime time) override;
  std::uint64_t milliseconds() override;
};

// Process set-up before the drill runs: a write to a pipe whose reader has
// gone, or one past the file-size limit, must fail as a write error, not
// kill the process, so SIGPIPE and SIGXFSZ are ignored. Console interrupts keep their default
// action. On Windows, which has no SIGPIPE, the standard descriptors are put in binary mode
// instead, so that the C runtime passes bytes through and StandardStreams alone translates line
// ends. Nothing it does can fail in a way the drill could act on; failures are ignored.
void prepare_process();

// Puts the standard input, output and error in binary mode where the C
// runtime would otherwise translate line ends (Windows), so that bytes pass
// through unchanged; nothing to do elsewhere. prepare_process() does it for
// the drill; mathdrill-progress, which keeps the default signal actions of a
// command-line tool, calls it alone. A descriptor that is not open stays as
// it is.
void use_binary_standard_streams();

// How many processes share this process's console window, itself included:
// on Windows, where a drill started by a double-click has a window of its
// own that closes when it ends; 0 where there is no console window to share
// (every other platform, or no console at all).
unsigned console_process_count();

// The standard input, output and error as the console streams use them.
// Where console lines end in CR LF (Windows) they are text streams: the
// descriptors, binary after prepare_process(), are wrapped in the
// translation of text_mode.h. Elsewhere the descriptors are used as they
// are. Failures are those of StandardInput and FdSink.
class StandardStreams {
 public:
#ifdef _WIN32
  static constexpr bool kTextMode = true;
#else
  static constexpr bool kTextMode = false;
#endif

  StandardStreams() = default;
  StandardStreams(const StandardStreams&) = delete;
  StandardStreams& operator=(const StandardStreams&) = delete;

  ByteSource& input() { return kTextMode ? text_input_ : static_cast<ByteSource&>(input_); }
  ByteSink& output() { return kTextMode ? text_output_ : static_cast<ByteSink&>(output_); }
  ByteSink& errors() { return kTextMode ? text_errors_ : static_cast<ByteSink&>(errors_); }

 private:
  StandardInput input_;
  StandardOutput output_{1};
  StandardOutput errors_{2};
  TextModeSource text_input_{input_};
  TextModeSink text_output_{output_};
  TextModeSink text_errors_{errors_};
};

}  // namespace console

#endif  // CONSOLE_SYSTEM_H_
