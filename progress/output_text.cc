#include "progress/output_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace progress {

namespace {

void append_digits(std::uint64_t value, int width, std::string* out);
void append_two_digits(int value, std::string* out);

}  // namespace

void append_iso_date(const text::CivilTime& time, std::string* out) {
  if (!time.known()) return;
  if (time.year < 0) out->push_back('-');
  // Years of more than 18 digits are never read, so the magnitude fits.
  const auto year = static_cast<std::uint64_t>(time.year < 0 ? -time.year : time.year);
  append_digits(year, 4, out);
  out->push_back('-');
  append_two_digits(time.month, out);
  out->push_back('-');
  append_two_digits(time.day, out);
}

void append_iso_date_time(const text::CivilTime& time, char separator, std::string* out) {
  if (!time.known()) return;
  append_iso_date(time, out);
  out->push_back(separator);
  append_two_digits(time.hour, out);
  out->push_back(':');
  append_two_digits(time.minute, out);
  out->push_back(':');
  append_two_digits(time.second, out);
}

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

namespace {

// The decimal digits of `value`, at least `width` of them with leading
// zeros.
void append_digits(std::uint64_t value, int width, std::string* out) {
  char digits[24];
  const auto result = std::to_chars(digits, digits + sizeof digits, value);
  const auto size = static_cast<int>(result.ptr - digits);
  if (size < width) out->append(static_cast<std::size_t>(width - size), '0');
  out->append(digits, result.ptr);
}

// "%02d" of 0..99: a month, a day or a part of the time of day.
void append_two_digits(int value, std::string* out) {
  out->push_back(static_cast<char>('0' + value / 10));
  out->push_back(static_cast<char>('0' + value % 10));
}

}  // namespace

}  // namespace progress
