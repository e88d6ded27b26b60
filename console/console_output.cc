#include "console/console_output.h"

#include <cstring>

#include "text/number_format.h"

namespace console {

ConsoleOutput& ConsoleOutput::operator<<(std::string_view text) {
  std::size_t nul = text.find('\0');
  if (nul != std::string_view::npos) text = text.substr(0, nul);
  put(text.data(), text.size());
  return *this;
}

ConsoleOutput& ConsoleOutput::operator<<(std::int32_t value) {
  text::NumberText text = text::format_integer(value);
  put(text.bytes, text.size);
  return *this;
}

ConsoleOutput& ConsoleOutput::operator<<(double value) {
  text::NumberText text = text::format_general(value);
  put(text.bytes, text.size);
  return *this;
}

void ConsoleOutput::flush() {
  if (used_ == 0) return;
  if (!bad_ && !sink_.write(buffer_, used_)) bad_ = true;
  used_ = 0;
}

void ConsoleOutput::put_filling(const char* data, std::size_t size) {
  if (bad_) return;
  while (size > 0) {
    std::size_t room = sizeof buffer_ - used_;
    std::size_t n = size < room ? size : room;
    std::memcpy(buffer_ + used_, data, n);
    used_ += n;
    data += n;
    size -= n;
    if (used_ == sizeof buffer_) {
      flush();
      if (bad_) return;
    }
  }
}

}  // namespace console
