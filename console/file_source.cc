// The portable part of file_source.h.
#include "console/file_source.h"

#include <cerrno>
#include <cstring>

namespace console {

namespace {

bool names_utf8(std::string_view locale);

}  // namespace

std::unique_ptr<FileSource> FileSource::open(const std::string& path, std::string* reason) {
  const int fd = open_file(path, /*for_writing=*/false);
  if (fd < 0) {
    *reason = std::strerror(errno);
    return nullptr;
  }
  return std::unique_ptr<FileSource>(new FileSource(fd, true));
}

std::unique_ptr<FileSource> FileSource::standard_input() {
  return std::unique_ptr<FileSource>(new FileSource(0, false));
}

FileSource::~FileSource() {
  if (owned_) close_file(fd_);
}

std::size_t FileSource::read(char* buffer, std::size_t size) { return source_.read(buffer, size); }

std::string FileSource::error() const {
  return source_.error() == 0 ? std::string() : std::string(std::strerror(source_.error()));
}

bool write_whole_file(const std::string& path, std::string_view bytes, std::string* reason) {
  const int fd = open_file(path, /*for_writing=*/true);
  if (fd < 0) {
    *reason = std::strerror(errno);
    return false;
  }
  errno = 0;
  const bool written = FdSink(fd).write(bytes.data(), bytes.size());
  const int write_error = errno;
  // A close error (a full disk on a network file system) means the bytes
  // may not all be there.
  const bool closed = close_file(fd);
  if (written && closed) return true;
  const int error = written ? errno : write_error;
  *reason = error != 0 ? std::strerror(error) : "nothing could be written";
  return false;
}

bool utf8_locale(const char* lc_all, const char* lc_ctype, const char* lang) {
  for (const char* value : {lc_all, lc_ctype, lang}) {
    if (value != nullptr && value[0] != '\0') return names_utf8(value);
  }
  return false;
}

namespace {

// Whether a locale name contains "utf-8" or "utf8", compared without case.
bool names_utf8(std::string_view locale) {
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  for (std::size_t at = 0; at + 4 <= locale.size(); ++at) {
    if (lower(locale[at]) != 'u' || lower(locale[at + 1]) != 't' || lower(locale[at + 2]) != 'f') {
      continue;
    }
    if (locale[at + 3] == '8') return true;
    if (locale[at + 3] == '-' && at + 5 <= locale.size() && locale[at + 4] == '8') return true;
  }
  return false;
}

}  // namespace

}  // namespace console
