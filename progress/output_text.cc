#include "progress/output_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>

namespace progress {

namespace {

char* put_long_year(std::int64_t year_number, char* at);
char* put_digits(std::uint64_t value, int width, char* at);
char* put_two_digits(std::uint8_t value, char* at);
char* put_known_date(const text::CivilTime& time, char* at);

}  // namespace

void append_iso_date(const text::CivilTime& time, std::string* out) {
  if (!time.known()) return;
  char text[kIsoDateTimeRoom];
  out->append(text, put_iso_date(time, text));
}

void append_iso_date_time(const text::CivilTime& time, char separator, std::string* out) {
  if (!time.known()) return;
  char text[kIsoDateTimeRoom];
  out->append(text, put_iso_date_time(time, separator, text));
}

char* put_iso_date(const text::CivilTime& time, char* at) {
  if (!time.known()) return at;
  return put_known_date(time, at);
}

char* put_iso_date_time(const text::CivilTime& time, char separator, char* at) {
  if (!time.known()) return at;
  at = put_known_date(time, at);
  *at++ = separator;
  at = put_two_digits(time.hour, at);
  *at++ = ':';
  at = put_two_digits(time.minute, at);
  *at++ = ':';
  return put_two_digits(time.second, at);
}

std::size_t iso_date_time_size(const text::CivilTime& time) {
  if (!time.known()) return 0;
  // "YYYY-MM-DDTHH:MM:SS" for the years of every real log.
  if (time.year >= 0 && time.year <= 9999) return 19;
  char text[kIsoDateTimeRoom];
  return static_cast<std::size_t>(put_iso_date_time(time, ' ', text) - text);
}

std::size_t integer_size(std::int64_t value) {
  // Most numbers of a row (a percent, a right count, a limit) are small.
  if (value >= 0 && value < 100) return value < 10 ? 1 : 2;
  std::size_t size = value < 0 ? 2 : 1;
  // The magnitude, as put_integer() writes it, without overflow at the
  // smallest value.
  std::uint64_t rest =
      value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  while (rest >= 10) {
    rest /= 10;
    ++size;
  }
  return size;
}

char* put_integer(std::int64_t value, char* at) {
  // Most numbers of a row (a percent, a right count, a limit) are small.
  if (value >= 10 && value < 100) return put_two_digits(static_cast<std::uint8_t>(value), at);
  if (value >= 0 && value < 10) {
    *at = static_cast<char>('0' + value);
    return at + 1;
  }
  return std::to_chars(at, at + kIntegerRoom, value).ptr;
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

// Writes the date of a known time at `at`. Returns the end of what it
// wrote. Inlined in both callers: every row of --csv writes two dates.
[[gnu::always_inline]] inline char* put_known_date(const text::CivilTime& time, char* at) {
  if (time.year >= 0 && time.year <= 9999) {
    // The years of every real log, written without a call.
    const auto year = static_cast<int>(time.year);
    at = put_two_digits(static_cast<std::uint8_t>(year / 100), at);
    at = put_two_digits(static_cast<std::uint8_t>(year % 100), at);
  } else {
    at = put_long_year(time.year, at);
  }
  *at++ = '-';
  at = put_two_digits(time.month, at);
  *at++ = '-';
  return put_two_digits(time.day, at);
}

// Writes a year of more than four digits, or before year 0, at `at`.
// Returns the end of what it wrote. Kept out of line, so that the writers
// of every timestamp do not set up the room that this rare one needs.
[[gnu::noinline]] char* put_long_year(std::int64_t year_number, char* at) {
  if (year_number < 0) *at++ = '-';
  const std::uint64_t year = year_number < 0 ? 0 - static_cast<std::uint64_t>(year_number)
                                             : static_cast<std::uint64_t>(year_number);
  return put_digits(year, 4, at);
}

// Writes the decimal digits of `value`, at least `width` (at most 20) of
// them with leading zeros, at `at`. Returns the end of what it wrote.
char* put_digits(std::uint64_t value, int width, char* at) {
  char digits[24];
  const auto result = std::to_chars(digits, digits + sizeof digits, value);
  const auto size = static_cast<int>(result.ptr - digits);
  for (int zeros = width - size; zeros > 0; --zeros) *at++ = '0';
  return std::copy(digits, result.ptr, at);
}

// Writes "%02d" of 0..99 (a month, a day or a part of the time of day) at
// `at`. Returns the end of what it wrote.
char* put_two_digits(std::uint8_t value, char* at) {
  // "00" to "99", two bytes each: a copy instead of a division. The values
  // a byte can hold beyond 99 show as 99, so the table is read as it is,
  // without a bound to check.
  static constexpr auto kPairs = [] {
    std::array<char, 512> pairs{};
    for (int n = 0; n < 256; ++n) {
      const int shown = n < 100 ? n : 99;
      pairs[static_cast<std::size_t>(2 * n)] = static_cast<char>('0' + shown / 10);
      pairs[static_cast<std::size_t>(2 * n + 1)] = static_cast<char>('0' + shown % 10);
    }
    return pairs;
  }();
  std::memcpy(at, &kPairs[2 * std::size_t{value}], 2);
  return at + 2;
}

}  // namespace

}  // namespace progress
