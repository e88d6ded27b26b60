// Windows implementation of the platform layer declared in system.h. The
// standard descriptors are used in binary mode through the C runtime; the
// CR LF translation of the console is StandardStreams' job (text_mode.h). A
// console on standard input is read as UTF-16 and handed on in UTF-8.
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <ctime>

#include "console/system.h"

namespace console {

namespace {

unsigned int clamp_count(std::size_t size);

}  // namespace

std::size_t FdSource::read(char* buffer, std::size_t size) {
  int n = ::_read(fd_, buffer, clamp_count(size));
  if (n < 0) error_ = errno;
  return n > 0 ? static_cast<std::size_t>(n) : 0;
}

// Whether standard input is a console is asked once, at the first read.
std::size_t StandardInput::read(char* buffer, std::size_t size) {
  if (kind_ == Kind::unknown) {
    DWORD mode = 0;
    const HANDLE input = reinterpret_cast<HANDLE>(::_get_osfhandle(0));
    kind_ = ::GetConsoleMode(input, &mode) ? Kind::console : Kind::bytes;
  }
  return kind_ == Kind::console ? read_console(buffer, size) : bytes_.read(buffer, size);
}

// Hands out what was decoded, reading the console again when all of it has
// been read. Returns 0 only at the end of input.
std::size_t StandardInput::read_console(char* buffer, std::size_t size) {
  while (utf8_at_ == utf8_end_) {
    if (!fill_from_console()) return 0;
  }
  const std::size_t n = size < utf8_end_ - utf8_at_ ? size : utf8_end_ - utf8_at_;
  std::memcpy(buffer, utf8_ + utf8_at_, n);
  utf8_at_ += n;
  return n;
}

// Reads what the console has typed (a line, in its usual line mode) and
// decodes it into utf8_, which may stay empty when the read ends in half a
// surrogate pair. A failed read, or one that gives nothing, is the end of
// input: a high surrogate still kept is then decoded as U+FFFD. Returns
// false once the input has ended and nothing is left.
bool StandardInput::fill_from_console() {
  if (console_ended_) return false;
  wchar_t units[kUnits];
  DWORD count = 0;
  const HANDLE input = reinterpret_cast<HANDLE>(::_get_osfhandle(0));
  utf8_at_ = 0;
  if (!::ReadConsoleW(input, units, kUnits, &count, nullptr) || count == 0) {
    console_ended_ = true;
    utf8_end_ = decoder_.finish(utf8_);
    return utf8_end_ > 0;
  }
  static_assert(sizeof(wchar_t) == sizeof(char16_t));
  utf8_end_ = decoder_.decode(reinterpret_cast<const char16_t*>(units), count, utf8_);
  return true;
}

bool FdSink::write(const char* data, std::size_t size) {
  while (size > 0) {
    int n = ::_write(fd_, data, clamp_count(size));
    // Nothing written counts as refused too, so the loop always ends.
    if (n <= 0) return false;
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

// Whether the descriptor is a console is asked once, at the first write.
bool StandardOutput::write(const char* data, std::size_t size) {
  if (kind_ == Kind::unknown) {
    DWORD mode = 0;
    const HANDLE output = reinterpret_cast<HANDLE>(::_get_osfhandle(fd_));
    kind_ = ::GetConsoleMode(output, &mode) ? Kind::console : Kind::bytes;
  }
  return kind_ == Kind::console ? write_console(data, size) : bytes_.write(data, size);
}

// Converts the bytes piece by piece and writes the units to the console,
// retrying short writes; a write that fails or writes nothing refuses.
bool StandardOutput::write_console(const char* data, std::size_t size) {
  constexpr std::size_t kPiece = 1024;
  const HANDLE output = reinterpret_cast<HANDLE>(::_get_osfhandle(fd_));
  while (size > 0) {
    const std::size_t piece = size < kPiece ? size : kPiece;
    char16_t units[kPiece + text::kUtf8Pending];
    const std::size_t count = encoder_.encode(data, piece, units);
    static_assert(sizeof(wchar_t) == sizeof(char16_t));
    for (std::size_t done = 0; done < count;) {
      DWORD wrote = 0;
      if (!::WriteConsoleW(output, reinterpret_cast<const wchar_t*>(units + done),
                           static_cast<DWORD>(count - done), &wrote, nullptr) ||
          wrote == 0) {
        return false;
      }
      done += wrote;
    }
    data += piece;
    size -= piece;
  }
  return true;
}

bool close_file(int fd) { return ::_close(fd) == 0; }

std::uint64_t SystemClock::milliseconds() { return ::GetTickCount64(); }

std::optional<CalendarTime> SystemClock::now() {
  __time64_t seconds = ::_time64(nullptr);
  if (seconds == static_cast<__time64_t>(-1)) return std::nullopt;
  return static_cast<CalendarTime>(seconds);
}

// The C runtime's rules, from the system's time-zone settings (or TZ when it
// is set). It has no breakdown for times before 1970 or after 3000; those
// give nothing.
std::optional<text::CivilTime> SystemClock::local_time(CalendarTime time) {
  __time64_t seconds = static_cast<__time64_t>(time);
  struct tm fields;
  if (::_localtime64_s(&fields, &seconds) != 0) return std::nullopt;
  return civil_from_tm(fields);
}

unsigned console_process_count() {
  DWORD processes[1];
  return static_cast<unsigned>(::GetConsoleProcessList(processes, 1));
}

void prepare_process() { use_binary_standard_streams(); }

void use_binary_standard_streams() {
  ::_setmode(0, _O_BINARY);
  ::_setmode(1, _O_BINARY);
  ::_setmode(2, _O_BINARY);
}

namespace {

// The largest count one _read or _write call takes.
unsigned int clamp_count(std::size_t size) {
  return size > INT_MAX ? static_cast<unsigned int>(INT_MAX) : static_cast<unsigned int>(size);
}

}  // namespace

}  // namespace console
