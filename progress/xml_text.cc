#include "progress/xml_text.h"

#include <cstdint>

namespace progress {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

std::size_t sequence_length(std::string_view text, std::size_t at, std::uint32_t* code_point);
bool allowed(std::uint32_t code_point);

}  // namespace

void append_xml_text(std::string_view text, std::string* out) {
  std::size_t at = 0;
  while (at < text.size()) {
    const char c = text[at];
    switch (c) {
      case '&':
        out->append("&amp;");
        ++at;
        continue;
      case '<':
        out->append("&lt;");
        ++at;
        continue;
      case '>':
        out->append("&gt;");
        ++at;
        continue;
      case '"':
        out->append("&quot;");
        ++at;
        continue;
      case '\'':
        out->append("&#39;");
        ++at;
        continue;
      default:
        break;
    }
    std::uint32_t code_point = 0;
    const std::size_t length = sequence_length(text, at, &code_point);
    if (length == 0) {
      // Each byte that starts no character is replaced on its own.
      out->append(kReplacement);
      ++at;
      continue;
    }
    if (allowed(code_point)) {
      out->append(text.substr(at, length));
    } else {
      out->append(kReplacement);
    }
    at += length;
  }
}

namespace {

// The length of the well-formed UTF-8 sequence at `at`, storing its code
// point; 0 when the bytes there are not one (a stray continuation byte, a
// cut sequence, an overlong form, a surrogate, or past U+10FFFF).
std::size_t sequence_length(std::string_view text, std::size_t at, std::uint32_t* code_point) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
  const unsigned char lead = byte(0);
  std::size_t length;
  std::uint32_t value;
  // The range the second byte must lie in, which rules out overlong forms,
  // surrogates and code points past U+10FFFF.
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead < 0x80) {
    *code_point = lead;
    return 1;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
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
    return 0;
  }
  if (at + length > text.size() || byte(1) < low || byte(1) > high) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
    value = (value << 6) | (byte(i) & 0x3Fu);
  }
  *code_point = value;
  return length;
}

// XML 1.0 characters, less the controls that show nothing.
bool allowed(std::uint32_t code_point) {
  if (code_point < 0x20 || (code_point >= 0x7F && code_point <= 0x9F)) return false;
  return code_point != 0xFFFE && code_point != 0xFFFF;
}

}  // namespace

}  // namespace progress
