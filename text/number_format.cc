#include "text/number_format.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>

namespace text {

namespace {

std::optional<std::uint64_t> whole_magnitude(double value);
NumberText format_whole_general(bool negative, std::uint64_t magnitude);

}  // namespace

NumberText format_integer(std::int64_t value) {
  NumberText text;
  auto result = std::to_chars(text.bytes, text.bytes + sizeof text.bytes, value);
  text.size = static_cast<unsigned char>(result.ptr - text.bytes);
  return text;
}

NumberText format_general(double value) {
  if (std::optional<std::uint64_t> magnitude = whole_magnitude(value)) {
    return format_whole_general(std::signbit(value), *magnitude);
  }
  NumberText text;
  int size = std::snprintf(text.bytes, sizeof text.bytes, "%g", value);
  text.size = static_cast<unsigned char>(size > 0 ? size : 0);
  return text;
}

namespace {

// |value| as an integer when it is a whole number below 2^64; nothing for
// fractions, larger magnitudes, infinities and NaN.
std::optional<std::uint64_t> whole_magnitude(double value) {
  const double magnitude = std::fabs(value);
  if (!(magnitude < 18446744073709551616.0)) return std::nullopt;
  const auto whole = static_cast<std::uint64_t>(magnitude);
  if (static_cast<double>(whole) != magnitude) return std::nullopt;
  return whole;
}

// "%g" of a whole number: up to six digits as they are; more are rounded to
// six significant digits, to nearest with ties to even as printf does in the
// default rounding mode, and shown as d.ddddde+XX without trailing zeros.
NumberText format_whole_general(bool negative, std::uint64_t magnitude) {
  NumberText text;
  char* out = text.bytes;
  if (negative) *out++ = '-';
  if (magnitude < 1000000) {
    out = std::to_chars(out, text.bytes + sizeof text.bytes, magnitude).ptr;
    text.size = static_cast<unsigned char>(out - text.bytes);
    return text;
  }

  // magnitude = leading * 10^dropped + rest, with six digits in `leading`.
  int exponent = 5;
  std::uint64_t scale = 1;
  while (magnitude / scale >= 1000000) {
    scale *= 10;
    ++exponent;
  }
  std::uint64_t leading = magnitude / scale;
  const std::uint64_t rest = magnitude % scale;
  const std::uint64_t half = scale / 2;
  if (rest > half || (rest == half && leading % 2 != 0)) ++leading;
  if (leading == 1000000) {
    leading = 100000;
    ++exponent;
  }
  while (leading % 10 == 0) leading /= 10;

  char digits[8];
  char* digits_end = std::to_chars(digits, digits + sizeof digits, leading).ptr;
  *out++ = digits[0];
  if (digits_end - digits > 1) {
    *out++ = '.';
    for (const char* d = digits + 1; d != digits_end; ++d) *out++ = *d;
  }
  *out++ = 'e';
  *out++ = '+';
  if (exponent < 10) *out++ = '0';
  out = std::to_chars(out, text.bytes + sizeof text.bytes, exponent).ptr;
  text.size = static_cast<unsigned char>(out - text.bytes);
  return text;
}

}  // namespace

}  // namespace text
