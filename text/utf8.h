// UTF-8 read one character at a time, and the marks that UTF-8 texts of
// this system share: the byte-order mark that a Windows editor puts at the
// start of a file it saves, and U+FFFD, which stands for bytes that are not
// UTF-8. The safe texts of both programs, the display widths and the
// readers of the logs use it.
#ifndef TEXT_UTF8_H_
#define TEXT_UTF8_H_

#include <cstddef>
#include <string_view>

namespace text {

// What a Windows editor puts at the start of a UTF-8 file it saves.
inline constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// U+FFFD, the replacement character, and its UTF-8.
inline constexpr char32_t kReplacementCodePoint = 0xFFFD;
inline constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

// One character read from UTF-8 text: its code point and the bytes it
// takes. Where the bytes are not well-formed UTF-8 (a stray continuation
// byte, a cut sequence, an overlong form, a surrogate, or past U+10FFFF),
// `valid` is false and `length` covers the bytes that stand for one
// replacement character: the longest start of a well-formed sequence, or
// else one byte, as Unicode advises and browsers do; `code_point` then
// holds the first of them.
struct Utf8Character {
  char32_t code_point = 0;
  std::size_t length = 1;
  bool valid = false;
};

// The character that starts at `at` in `text`, which must be before its
// end.
Utf8Character read_utf8(std::string_view text, std::size_t at);

}  // namespace text

#endif  // TEXT_UTF8_H_
