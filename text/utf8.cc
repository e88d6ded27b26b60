#include "text/utf8.h"

namespace text {

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

}  // namespace text
