// Windows part of input_file.h: files opened by their UTF-16 names, and the
// identity of a file from its volume and file index.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>
#include <cstring>

#include "console/wide_text.h"
#include "files/input_file.h"

namespace files {

namespace {

std::optional<FoundFile> found(HANDLE handle);

}  // namespace

// A folder is opened too (FILE_FLAG_BACKUP_SEMANTICS), so that it is found
// as a file that is not regular.
std::optional<FoundFile> find_file(const std::string& path) {
  if (path == "-") return found(::GetStdHandle(STD_INPUT_HANDLE));
  HANDLE handle = ::CreateFileW(console::wide_from_utf8(path).c_str(), 0,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
  const std::optional<FoundFile> file = found(handle);
  ::CloseHandle(handle);
  return file;
}

Status InputFile::open(const std::string& path, std::unique_ptr<InputFile>* file) {
  const int fd =
      ::_wopen(console::wide_from_utf8(path).c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
  if (fd < 0) return Status::failed(std::string(std::strerror(errno)));
  file->reset(new InputFile(fd, true));
  return Status();
}

std::optional<FileIdentity> InputFile::identity() const {
  const std::optional<FoundFile> file = found(reinterpret_cast<HANDLE>(::_get_osfhandle(fd_)));
  if (!file) return std::nullopt;
  return file->identity;
}

namespace {

// The file behind `handle`; nothing for a pipe or a console, which have no
// file index.
std::optional<FoundFile> found(HANDLE handle) {
  BY_HANDLE_FILE_INFORMATION information;
  if (handle == INVALID_HANDLE_VALUE || handle == nullptr ||
      !::GetFileInformationByHandle(handle, &information)) {
    return std::nullopt;
  }
  const DWORD kind = ::GetFileType(handle);
  return FoundFile{
      .identity = {.device = information.dwVolumeSerialNumber,
                   .file = (static_cast<std::uint64_t>(information.nFileIndexHigh) << 32) |
                           information.nFileIndexLow},
      .regular =
          kind == FILE_TYPE_DISK && (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0,
      .writable = (information.dwFileAttributes & FILE_ATTRIBUTE_READONLY) == 0};
}

}  // namespace

}  // namespace files
