// Windows part of output_file.h: a new file beside the target, named and
// written through the UTF-16 name, flushed to the disk, then moved over the
// target with MoveFileExW.
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <cerrno>
#include <cstring>

#include "console/system.h"
#include "console/wide_text.h"
#include "files/output_file.h"

namespace files {

namespace {

int create_beside(const std::wstring& path, std::wstring* created);
WriteResult failure(int error);
WriteResult system_failure(DWORD error);

}  // namespace

WriteResult write_whole_file(const std::string& path, std::string_view bytes) {
  const std::wstring target = console::wide_from_utf8(path);
  std::wstring temporary;
  const int fd = create_beside(target, &temporary);
  if (fd < 0) return failure(errno);
  errno = 0;
  bool written = console::FdSink(fd).write(bytes.data(), bytes.size());
  int error = errno;
  if (written && ::_commit(fd) != 0) {
    written = false;
    error = errno;
  }
  if (::_close(fd) != 0 && written) {
    written = false;
    error = errno;
  }
  if (!written) {
    ::_wunlink(temporary.c_str());
    return failure(error);
  }
  if (!::MoveFileExW(temporary.c_str(), target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    const DWORD move_error = ::GetLastError();
    ::_wunlink(temporary.c_str());
    return system_failure(move_error);
  }
  return {};
}

void ignore_file_size_signal() {}

namespace {

// Creates a file that did not exist before, named after `path` with the
// process number and a count added ("page.html.4711-0.tmp"), so that it lies
// in the same folder and volume. Returns its descriptor and sets `created`,
// or -1 with errno set.
int create_beside(const std::wstring& path, std::wstring* created) {
  for (unsigned attempt = 0;; ++attempt) {
    *created = path + L"." + std::to_wstring(::GetCurrentProcessId()) + L"-" +
               std::to_wstring(attempt) + L".tmp";
    const int fd =
        ::_wopen(created->c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                 _S_IREAD | _S_IWRITE);
    if (fd >= 0 || errno != EEXIST || attempt == 100) return fd;
  }
}

WriteResult failure(int error) {
  return {.written = false,
          .reason = error != 0 ? std::strerror(error) : "nothing could be written"};
}

// The system's text for `error`, without its closing full stop and line
// end, e.g. "Access is denied".
WriteResult system_failure(DWORD error) {
  wchar_t text[256];
  DWORD n = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                             error, MAKELANGID(LANG_ENGLISH, SUBLANG_DEFAULT), text,
                             sizeof text / sizeof text[0], nullptr);
  while (n > 0 && (text[n - 1] == L'\r' || text[n - 1] == L'\n' || text[n - 1] == L' ' ||
                   text[n - 1] == L'.')) {
    --n;
  }
  if (n == 0) return {.written = false, .reason = "system error " + std::to_string(error)};
  return {.written = false, .reason = console::utf8_from_wide(std::wstring_view(text, n))};
}

}  // namespace

}  // namespace files
