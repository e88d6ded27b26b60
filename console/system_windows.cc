// Windows implementation of the platform layer declared in system.h. The
// standard descriptors are used in binary mode through the C runtime; the
// CR LF translation of the console is StandardStreams' job (text_mode.h).
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <climits>
#include <ctime>

#include "console/system.h"

namespace console {

namespace {

unsigned int clamp_count(std::size_t size);
HANDLE open_for_append(const std::string& path);
bool lock_appends(HANDLE file, OVERLAPPED& lock);
void cut_back(HANDLE file, const std::string& path, DWORD written);

// The byte, far beyond any real end of file, that appenders lock while they
// write.
constexpr DWORD kLockOffsetHigh = 0x7fffffff;

}  // namespace

std::size_t FdSource::read(char* buffer, std::size_t size) {
  int n = ::_read(fd_, buffer, clamp_count(size));
  return n > 0 ? static_cast<std::size_t>(n) : 0;
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

std::optional<CalendarTime> SystemClock::now() {
  __time64_t seconds = ::_time64(nullptr);
  if (seconds == static_cast<__time64_t>(-1)) return std::nullopt;
  return static_cast<CalendarTime>(seconds);
}

// The C runtime's rules, from the system's time-zone settings (or TZ when it
// is set). It has no breakdown for times before 1970 or after 3000; those
// give nothing.
std::optional<CivilTime> SystemClock::local_time(CalendarTime time) {
  __time64_t seconds = static_cast<__time64_t>(time);
  struct tm fields;
  if (::_localtime64_s(&fields, &seconds) != 0) return std::nullopt;
  return civil_from_tm(fields);
}

// One WriteFile of the whole block on a handle without FILE_WRITE_DATA
// access, only FILE_APPEND_DATA, so the system places it at the end of the
// file in one piece; the file is shared for reading and writing so that other
// drills can append too. Wine computes the end and writes there as two
// steps, so appenders also hold a lock on one byte far past the end while
// they write; where it cannot be taken in time, the write goes ahead without
// it. A short write (a full disk) is cut back off again if nothing was
// appended after it.
bool FileAppender::append(std::string_view block) {
  if (block.size() > MAXDWORD) return false;
  HANDLE file = open_for_append(path_);
  if (file == INVALID_HANDLE_VALUE) return false;
  OVERLAPPED lock = {};
  lock.OffsetHigh = kLockOffsetHigh;
  const bool locked = lock_appends(file, lock);
  DWORD written = 0;
  BOOL ok = ::WriteFile(file, block.data(), static_cast<DWORD>(block.size()), &written, nullptr);
  bool whole = ok && written == block.size();
  if (!whole && written > 0) cut_back(file, path_, written);
  if (locked) ::UnlockFileEx(file, 0, 1, 0, &lock);
  if (!::CloseHandle(file)) whole = false;
  return whole;
}

void prepare_process() {
  // A descriptor that is not open (no console) just stays as it is.
  ::_setmode(0, _O_BINARY);
  ::_setmode(1, _O_BINARY);
  ::_setmode(2, _O_BINARY);
}

namespace {

// The largest count one _read or _write call takes.
unsigned int clamp_count(std::size_t size) {
  return size > INT_MAX ? static_cast<unsigned int>(INT_MAX) : static_cast<unsigned int>(size);
}

// Opens or creates the file for appending. Read access is asked for too,
// since locking needs it; a file that may be written but not read is opened
// for appending alone. Returns INVALID_HANDLE_VALUE when it cannot be opened.
HANDLE open_for_append(const std::string& path) {
  const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE;
  HANDLE file = ::CreateFileA(path.c_str(), FILE_APPEND_DATA | FILE_READ_DATA, share, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_ACCESS_DENIED) return file;
  return ::CreateFileA(path.c_str(), FILE_APPEND_DATA, share, nullptr, OPEN_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Takes the appenders' lock. Another drill holds it only while it writes,
// but one that is stopped there (in a debugger) must not hang this one, so
// the wait is bounded: false after about two seconds, or at once when the
// file system has no locks.
bool lock_appends(HANDLE file, OVERLAPPED& lock) {
  for (int attempt = 0; attempt < 200; ++attempt) {
    if (::LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &lock)) {
      return true;
    }
    if (::GetLastError() != ERROR_LOCK_VIOLATION) return false;
    ::Sleep(10);
  }
  return false;
}

// Removes the last `written` bytes of the file that `file` has just appended,
// when they still end the file: the append handle's position is then the
// file's size. An append handle may not truncate, so a second handle with
// write access does it. If anything fails the bytes stay; the block is
// reported lost all the same.
void cut_back(HANDLE file, const std::string& path, DWORD written) {
  LARGE_INTEGER zero = {};
  LARGE_INTEGER position;
  LARGE_INTEGER size;
  if (!::SetFilePointerEx(file, zero, &position, FILE_CURRENT)) return;
  if (!::GetFileSizeEx(file, &size)) return;
  if (size.QuadPart != position.QuadPart || size.QuadPart < written) return;
  HANDLE writer = ::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (writer == INVALID_HANDLE_VALUE) return;
  FILE_END_OF_FILE_INFO end;
  end.EndOfFile.QuadPart = size.QuadPart - written;
  ::SetFileInformationByHandle(writer, FileEndOfFileInfo, &end, sizeof end);
  ::CloseHandle(writer);
}

}  // namespace

}  // namespace console
