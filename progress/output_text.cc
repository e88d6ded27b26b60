#include "progress/output_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace progress {

namespace {

void append_digits(std::uint64_t value, int width, std::string& out);
void append_two_digits(int value, std::string& out);

}  // namespace

void append_iso_date(const records::LoggedTime& time, std::string& out) {
  if (!time.known()) return;
  if (time.year < 0) out.push_back('-');
  // Years of more than 18 digits are never read, so the magnitude fits.
  const auto year = static_cast<std::uint64_t>(time.year < 0 ? -time.year : time.year);
  append_digits(year, 4, out);
  out.push_back('-');
  append_two_digits(time.month, out);
  out.push_back('-');
  append_two_digits(time.day, out);
}

void append_iso_date_time(const records::LoggedTime& time, char separator, std::string& out) {
  if (!time.known()) return;
  append_iso_date(time, out);
  out.push_back(separator);
  append_two_digits(time.hour, out);
  out.push_back(':');
  append_two_digits(time.minute, out);
  out.push_back(':');
  append_two_digits(time.second, out);
}

void append_integer(std::int64_t value, std::string& out) {
  char digits[24];
  const auto result = std::to_chars(digits, digits + sizeof digits, value);
  out.append(digits, result.ptr);
}

std::string integer_text(std::int64_t value) {
  std::string text;
  append_integer(value, text);
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
  append_integer(whole, text);
  if (tenth != 0) {
    text.push_back('.');
    text.push_back(static_cast<char>('0' + tenth));
  }
  return text;
}

std::string rounded_text(double value) {
  return integer_text(static_cast<std::int64_t>(std::round(value)));
}

Utf8Character read_utf8(std::string_view text, std::size_t at) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
  const unsigned char lead = byte(0);
  if (lead < 0x80) return {.code_point = lead, .length = 1, .valid = true};
  std::size_t length;
  char32_t value;
  // The range the second byte must lie in, which rules out overlong forms,
  // surrogates and code points past U+10FFFF.
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    value = lead & 0x1Fu;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    value = lead & 0x0Fu;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    value = lead & 0x07u;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return {.code_point = lead, .length = 1, .valid = false};
  }
  for (std::size_t i = 1; i < length; ++i) {
    const bool fits = at + i < text.size() && byte(i) >= (i == 1 ? low : 0x80) &&
                      byte(i) <= (i == 1 ? high : 0xBF);
    if (!fits) return {.code_point = lead, .length = i, .valid = false};
    value = (value << 6) | (byte(i) & 0x3Fu);
  }
  return {.code_point = value, .length = length, .valid = true};
}

bool hidden_character(char32_t code_point) {
  return code_point < 0x20 || (code_point >= 0x7F && code_point <= 0x9F) ||
         (code_point >= 0x202A && code_point <= 0x202E) ||
         (code_point >= 0x2066 && code_point <= 0x2069);
}

std::string terminal_text(std::string_view text) {
  std::string shown;
  append_terminal_text(text, shown);
  return shown;
}

void append_terminal_text(std::string_view text, std::string& out) {
  constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD
  // Most names are printable ASCII, which is appended as a whole.
  const bool plain =
      std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
  if (plain) {
    out.append(text);
    return;
  }
  std::size_t at = 0;
  while (at < text.size()) {
    const Utf8Character character = read_utf8(text, at);
    if (character.valid) {
      if (hidden_character(character.code_point)) {
        out.push_back('?');
      } else {
        out.append(text.substr(at, character.length));
      }
    } else if (character.length == 1 && character.code_point >= 0x80 &&
               character.code_point <= 0x9F) {
      out.push_back('?');
    } else {
      out.append(kReplacement);
    }
    at += character.length;
  }
}

namespace {

// The decimal digits of `value`, at least `width` of them with leading
// zeros.
void append_digits(std::uint64_t value, int width, std::string& out) {
  char digits[24];
  const auto result = std::to_chars(digits, digits + sizeof digits, value);
  const auto size = static_cast<int>(result.ptr - digits);
  if (size < width) out.append(static_cast<std::size_t>(width - size), '0');
  out.append(digits, result.ptr);
}

// "%02d" of 0..99: a month, a day or a part of the time of day.
void append_two_digits(int value, std::string& out) {
  out.push_back(static_cast<char>('0' + value / 10));
  out.push_back(static_cast<char>('0' + value % 10));
}

}  // namespace

}  // namespace progress
