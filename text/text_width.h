// How many columns of a terminal a text takes, so that the table's columns
// line up whatever the names hold: a wide East Asian character takes two
// columns, a combining mark none. Widths come from a table of this
// module's own, not from the C library's wcwidth, so that they do not
// depend on the user's locale or the platform (Windows has no wcwidth, and
// its 16-bit wchar_t holds no character past U+FFFF). text_table uses it.
#ifndef TEXT_TEXT_WIDTH_H_
#define TEXT_TEXT_WIDTH_H_

#include <cstddef>
#include <string_view>

namespace text {

// The columns `code_point` takes: 0 for combining marks, invisible format
// characters and the vowels and finals of conjoining Hangul; 2 for East
// Asian wide and fullwidth characters (ideographs, kana, Hangul
// syllables, fullwidth forms, emoji); 1 for any other, controls included
// (no output shows them as they are). Characters of ambiguous width count
// 1, as terminals outside East Asian locales show them.
int character_width(char32_t code_point);

// The columns the UTF-8 `text` takes: the sum of its characters' widths,
// where each run of bytes that is not well-formed UTF-8 and stands for one
// replacement character counts 1, and an emoji sequence counts as the one
// emoji a terminal draws: emoji joined by U+200D and skin tones take the
// columns of the first emoji, two regional indicators (a flag) take 2, and
// U+FE0F after a narrow symbol makes it 2 wide.
std::size_t text_width(std::string_view text);

}  // namespace text

#endif  // TEXT_TEXT_WIDTH_H_
