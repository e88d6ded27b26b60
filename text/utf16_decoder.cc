#include "text/utf16_decoder.h"

#include "text/utf8.h"

namespace text {

namespace {

bool is_high_surrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool is_low_surrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }
std::size_t put_utf8(char32_t code_point, char* out);

}  // namespace

std::size_t Utf16Decoder::decode(const char16_t* units, std::size_t count, char* out) {
  std::size_t written = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const char32_t unit = units[i];
    if (high_ != 0) {
      const char32_t high = high_;
      high_ = 0;
      if (is_low_surrogate(unit)) {
        written += put_utf8(0x10000 + ((high - 0xD800) << 10) + (unit - 0xDC00), out + written);
        continue;
      }
      written += put_utf8(kReplacementCodePoint, out + written);
    }
    if (is_high_surrogate(unit)) {
      high_ = static_cast<char16_t>(unit);
    } else {
      written += put_utf8(is_low_surrogate(unit) ? kReplacementCodePoint : unit, out + written);
    }
  }
  return written;
}

std::size_t Utf16Decoder::finish(char* out) {
  if (high_ == 0) return 0;
  high_ = 0;
  return put_utf8(kReplacementCodePoint, out);
}

namespace {

// Writes the UTF-8 of `code_point` (not a surrogate, at most U+10FFFF) and
// returns its length, 1 to 4 bytes.
std::size_t put_utf8(char32_t code_point, char* out) {
  if (code_point < 0x80) {
    out[0] = static_cast<char>(code_point);
    return 1;
  }
  if (code_point < 0x800) {
    out[0] = static_cast<char>(0xC0 | (code_point >> 6));
    out[1] = static_cast<char>(0x80 | (code_point & 0x3F));
    return 2;
  }
  if (code_point < 0x10000) {
    out[0] = static_cast<char>(0xE0 | (code_point >> 12));
    out[1] = static_cast<char>(0x80 | ((code_point >> 6) & 0x3F));
    out[2] = static_cast<char>(0x80 | (code_point & 0x3F));
    return 3;
  }
  out[0] = static_cast<char>(0xF0 | (code_point >> 18));
  out[1] = static_cast<char>(0x80 | ((code_point >> 12) & 0x3F));
  out[2] = static_cast<char>(0x80 | ((code_point >> 6) & 0x3F));
  out[3] = static_cast<char>(0x80 | (code_point & 0x3F));
  return 4;
}

}  // namespace

}  // namespace text
