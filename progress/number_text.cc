#include "progress/number_text.h"

#include <charconv>
#include <cmath>

namespace progress {

void append_integer(std::int64_t value, std::string* out) {
  char digits[24];
  const auto result = std::to_chars(digits, digits + sizeof digits, value);
  out->append(digits, result.ptr);
}

std::string integer_text(std::int64_t value) {
  std::string text;
  append_integer(value, &text);
  return text;
}

std::string tenths_text(double value) {
  char digits[64];
  if (!(std::fabs(value) < 1e9)) {
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    return std::string(digits, result.ptr);
  }
  const double tenths = std::round(value * 10);
  const auto whole = static_cast<std::int64_t>(tenths / 10);
  const auto tenth = static_cast<std::int64_t>(std::fabs(tenths - static_cast<double>(whole) * 10));
  std::string text;
  // -0.5 rounds to "-0.5": its whole part is 0, so the sign is written here.
  if (tenths < 0 && whole == 0) text.push_back('-');
  append_integer(whole, &text);
  if (tenth != 0) {
    text.push_back('.');
    text.push_back(static_cast<char>('0' + tenth));
  }
  return text;
}

std::string rounded_text(double value) {
  return integer_text(static_cast<std::int64_t>(std::round(value)));
}

}  // namespace progress
