#include "console/input_file.h"

#include <cerrno>
#include <cstring>

namespace console {

OpenResult InputFile::open(const std::string& path) {
  const int fd = open_file(path, /*for_writing=*/false);
  if (fd < 0) return {.file = nullptr, .reason = std::strerror(errno)};
  return {.file = std::unique_ptr<InputFile>(new InputFile(fd, true)), .reason = {}};
}

std::unique_ptr<InputFile> InputFile::standard_input() {
  return std::unique_ptr<InputFile>(new InputFile(0, false));
}

InputFile::~InputFile() {
  if (owned_) close_file(fd_);
}

std::size_t InputFile::read(char* buffer, std::size_t size) { return source_.read(buffer, size); }

std::string InputFile::error() const {
  return source_.error() == 0 ? std::string() : std::string(std::strerror(source_.error()));
}

}  // namespace console
