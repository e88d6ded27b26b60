// The portable part of input_file.h: reading an open descriptor.
#include "files/input_file.h"

#include <cstring>

namespace files {

std::unique_ptr<InputFile> InputFile::standard_input() {
  return std::unique_ptr<InputFile>(new InputFile(0, false));
}

InputFile::~InputFile() {
  if (owned_) console::close_file(fd_);
}

std::size_t InputFile::read(char* buffer, std::size_t size) { return source_.read(buffer, size); }

Status InputFile::read_status() const {
  if (source_.error() == 0) return Status();
  return Status::failed(std::string(std::strerror(source_.error())));
}

}  // namespace files
