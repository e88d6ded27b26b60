#include "console/number_format.h"

#include <charconv>

namespace console {

NumberText format_integer(std::int64_t value) {
  NumberText text;
  auto result = std::to_chars(text.bytes, text.bytes + sizeof text.bytes, value);
  text.size = static_cast<unsigned char>(result.ptr - text.bytes);
  return text;
}

NumberText format_general(double value) {
  NumberText text;
  auto result = std::to_chars(text.bytes, text.bytes + sizeof text.bytes, value,
                              std::chars_format::general, 6);
  text.size = static_cast<unsigned char>(result.ptr - text.bytes);
  return text;
}

}  // namespace console
