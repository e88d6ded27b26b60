#include "text/utf16_encoder.h"

#include <cstring>
#include <string_view>

#include "text/utf8.h"

namespace text {

namespace {

bool cut_at_end(std::string_view text, std::size_t at, const Utf8Character& character);
std::size_t put_utf16(const Utf8Character& character, char16_t* out);

}  // namespace

std::size_t Utf16Encoder::encode(const char* bytes, std::size_t size, char16_t* out) {
  std::size_t written = 0;
  std::size_t at = 0;
  if (pending_size_ > 0) {
    // The character cut at the end of the last piece, with the bytes that
    // may complete it.
    char joined[kUtf8Pending + 4];
    const std::size_t taken = size < 4 - pending_size_ ? size : 4 - pending_size_;
    std::memcpy(joined, pending_, pending_size_);
    std::memcpy(joined + pending_size_, bytes, taken);
    const std::string_view start(joined, pending_size_ + taken);
    const Utf8Character character = read_utf8(start, 0);
    if (cut_at_end(start, 0, character)) {
      std::memcpy(pending_, joined, start.size());
      pending_size_ = start.size();
      return 0;
    }
    written += put_utf16(character, out);
    at = character.length - pending_size_;
    pending_size_ = 0;
  }
  const std::string_view text(bytes, size);
  while (at < size) {
    const Utf8Character character = read_utf8(text, at);
    if (cut_at_end(text, at, character)) {
      pending_size_ = size - at;
      std::memcpy(pending_, bytes + at, pending_size_);
      break;
    }
    written += put_utf16(character, out + written);
    at += character.length;
  }
  return written;
}

std::size_t Utf16Encoder::finish(char16_t* out) {
  if (pending_size_ == 0) return 0;
  pending_size_ = 0;
  out[0] = static_cast<char16_t>(kReplacementCodePoint);
  return 1;
}

namespace {

// Whether `character`, read at `at`, is the well-formed start of a character
// that the end of `text` cuts, which more bytes may complete.
bool cut_at_end(std::string_view text, std::size_t at, const Utf8Character& character) {
  const auto lead = static_cast<unsigned char>(text[at]);
  return !character.valid && at + character.length == text.size() && lead >= 0xC2 && lead <= 0xF4 &&
         character.length < 4;
}

// Writes `character` in UTF-16: one unit, two for a character past U+FFFF,
// or U+FFFD for bytes that are not UTF-8. Returns how many.
std::size_t put_utf16(const Utf8Character& character, char16_t* out) {
  const char32_t point = character.valid ? character.code_point : kReplacementCodePoint;
  if (point < 0x10000) {
    out[0] = static_cast<char16_t>(point);
    return 1;
  }
  const char32_t above = point - 0x10000;
  out[0] = static_cast<char16_t>(0xD800 + (above >> 10));
  out[1] = static_cast<char16_t>(0xDC00 + (above & 0x3FF));
  return 2;
}

}  // namespace

}  // namespace text
