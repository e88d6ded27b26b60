#include "text/safe_text.h"

#include "text/utf8.h"

namespace text {

bool hidden_character(char32_t code_point) {
  return code_point < 0x20 || (code_point >= 0x7F && code_point <= 0x9F) ||
         (code_point >= 0x202A && code_point <= 0x202E) ||
         (code_point >= 0x2066 && code_point <= 0x2069);
}

std::size_t hide_in_place(char* text, std::size_t length) {
  std::size_t kept = 0;
  for (std::size_t at = 0; at < length;) {
    const Utf8Character character = read_utf8(std::string_view(text, length), at);
    if (character.valid && hidden_character(character.code_point)) {
      text[kept++] = '?';
    } else {
      for (std::size_t i = 0; i < character.length; ++i) text[kept++] = text[at + i];
    }
    at += character.length;
  }
  return kept;
}

std::size_t message_text_in_place(char* text, std::size_t length) {
  std::size_t kept = 0;
  for (std::size_t at = 0; at < length;) {
    const Utf8Character character = read_utf8(std::string_view(text, length), at);
    if (!character.valid) {
      for (std::size_t i = 0; i < character.length; ++i) text[kept++] = '?';
    } else if (hidden_character(character.code_point)) {
      text[kept++] = '?';
    } else {
      for (std::size_t i = 0; i < character.length; ++i) text[kept++] = text[at + i];
    }
    at += character.length;
  }
  return kept;
}

std::size_t shown_character(std::string_view text, std::size_t at, std::string_view* shown) {
  const Utf8Character character = read_utf8(text, at);
  if (character.valid) {
    *shown = hidden_character(character.code_point)
                 ? std::string_view("?")
                 : std::string_view(text.data() + at, character.length);
  } else if (character.length == 1 && character.code_point >= 0x80 &&
             character.code_point <= 0x9F) {
    *shown = "?";
  } else {
    *shown = kReplacementCharacter;
  }
  return character.length;
}

}  // namespace text
