// Windows implementation of FileAppender (append_file.h).
#include <windows.h>

#include <cstdio>
#include <string>

#include "files/append_file.h"

namespace files {

namespace {

enum class Lock { held, unsupported, busy };

HANDLE open_for_append(const char* path);
Lock lock_for_append(HANDLE file, OVERLAPPED& lock);
// How a file ends: whether a block must begin with a line end, and whether
// it needs the file's first line.
struct Ending {
  bool line_end_first = false;
  bool header_first = false;
};
Ending ending_of(HANDLE file, LONGLONG size);
void cut_back(const char* path, LONGLONG size);
AppendResult failure(DWORD error);

// The byte, far beyond any real end of file, that appenders lock while they
// write.
constexpr DWORD kLockOffsetHigh = 0x7fffffff;
constexpr std::string_view kLockBusy = "locked by another program for too long";

}  // namespace

// One WriteFile of the whole block on a handle without FILE_WRITE_DATA
// access, only FILE_APPEND_DATA, so the system places it at the end of the
// file in one piece; the file is shared for reading and writing so that other
// drills can append too. Wine computes the end and writes there as two
// steps, and a short write must be cut back without touching another
// drill's block, so appenders hold the appenders' lock while they write,
// store the block on the disk and, on any failure, cut it back.
AppendResult FileAppender::append(std::string_view block) {
  HANDLE file = open_for_append(path_);
  if (file == INVALID_HANDLE_VALUE) return failure(::GetLastError());
  OVERLAPPED lock = {};
  lock.OffsetHigh = kLockOffsetHigh;
  const Lock locked = lock_for_append(file, lock);
  if (locked == Lock::busy) {
    ::CloseHandle(file);
    return {false, kLockBusy};
  }
  // Only a file on a disk is read, stored and cut back. Under the lock no
  // other appender moves its end, so the size now is where this block
  // starts and what a failed append is cut back to.
  const bool on_disk = ::GetFileType(file) == FILE_TYPE_DISK;
  LARGE_INTEGER start = {};
  const bool size_known = on_disk && ::GetFileSizeEx(file, &start);
  const bool start_known = size_known && locked == Lock::held;
  // The seam's line end, the file's first line and the block go in one
  // write, so they are joined in a buffer of their own when there is more
  // than the block.
  const Ending ending = size_known ? ending_of(file, start.QuadPart) : Ending{};
  const bool header = ending.header_first && !header_.empty();
  std::string joined;
  std::string_view bytes = block;
  if (ending.line_end_first || header) {
    if (ending.line_end_first) joined.append(line_end_);
    if (header) joined.append(header_).append(line_end_);
    joined.append(block);
    bytes = joined;
  }
  DWORD written = 0;
  DWORD error = 0;
  if (bytes.size() > MAXDWORD) {
    error = ERROR_INVALID_PARAMETER;
  } else if (!::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                          nullptr)) {
    error = ::GetLastError();
  } else if (written != bytes.size()) {
    error = ERROR_DISK_FULL;
  } else if (on_disk && !::FlushFileBuffers(file)) {
    // A file system that cannot flush keeps the file as safe as it can.
    if (::GetLastError() != ERROR_INVALID_FUNCTION) error = ::GetLastError();
  }
  if (error != 0 && written > 0 && start_known) cut_back(path_, start.QuadPart);
  if (locked == Lock::held) ::UnlockFileEx(file, 0, 1, 0, &lock);
  if (!::CloseHandle(file) && error == 0) error = ::GetLastError();
  return error == 0 ? AppendResult{} : failure(error);
}

namespace {

// Opens or creates the file for appending. Read access is asked for too,
// since locking needs it; a file that may be written but not read is opened
// for appending alone. Returns INVALID_HANDLE_VALUE when it cannot be opened.
HANDLE open_for_append(const char* path) {
  const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE;
  HANDLE file = ::CreateFileA(path, FILE_APPEND_DATA | FILE_READ_DATA, share, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_ACCESS_DENIED) return file;
  return ::CreateFileA(path, FILE_APPEND_DATA, share, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
}

// Takes the appenders' lock. Another drill holds it only while it writes,
// but one that is stopped there (in a debugger) must not hang this one, so
// the wait is bounded: `busy` after about two seconds. A file system without
// locks, or a handle that may not lock (no read access), gives
// `unsupported`.
Lock lock_for_append(HANDLE file, OVERLAPPED& lock) {
  for (int attempt = 0; attempt < 200; ++attempt) {
    if (::LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &lock)) {
      return Lock::held;
    }
    if (::GetLastError() != ERROR_LOCK_VIOLATION) return Lock::unsupported;
    ::Sleep(10);
  }
  return Lock::busy;
}

// Whether the file of `size` bytes must get a line end before the block
// (needs_line_end_first), or its first line (needs_header_first). A file
// that cannot be read (opened for appending alone) gets neither.
Ending ending_of(HANDLE file, LONGLONG size) {
  if (size <= 0) return {.line_end_first = false, .header_first = true};
  char tail[kTailBytes];
  const LONGLONG from = size > static_cast<LONGLONG>(kTailBytes) ? size - kTailBytes : 0;
  OVERLAPPED at = {};
  at.Offset = static_cast<DWORD>(from & 0xffffffff);
  at.OffsetHigh = static_cast<DWORD>(from >> 32);
  DWORD n = 0;
  if (!::ReadFile(file, tail, static_cast<DWORD>(size - from), &n, &at) || n == 0) return {};
  const std::string_view read(tail, n);
  return {.line_end_first = needs_line_end_first(read, from == 0),
          .header_first = needs_header_first(read, from == 0)};
}

// Cuts the file back to `size` bytes and stores the cut on the disk. An
// append handle may not truncate, so a second handle with write access does
// it. If anything fails the bytes stay; the block is reported lost all the
// same.
void cut_back(const char* path, LONGLONG size) {
  HANDLE writer = ::CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (writer == INVALID_HANDLE_VALUE) return;
  FILE_END_OF_FILE_INFO end;
  end.EndOfFile.QuadPart = size;
  if (::SetFileInformationByHandle(writer, FileEndOfFileInfo, &end, sizeof end)) {
    ::FlushFileBuffers(writer);
  }
  ::CloseHandle(writer);
}

// The system's text for `error`, without its closing full stop and line end,
// e.g. "Access is denied". The text is kept until the next failure.
AppendResult failure(DWORD error) {
  static char text[256];
  DWORD n =
      ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
                       MAKELANGID(LANG_ENGLISH, SUBLANG_DEFAULT), text, sizeof text, nullptr);
  if (n == 0) n = static_cast<DWORD>(std::snprintf(text, sizeof text, "system error %lu", error));
  while (n > 0 &&
         (text[n - 1] == '\r' || text[n - 1] == '\n' || text[n - 1] == ' ' || text[n - 1] == '.')) {
    --n;
  }
  return {false, std::string_view(text, n)};
}

}  // namespace

}  // namespace files
