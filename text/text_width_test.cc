#include "text/text_width.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string_view>

namespace text {
namespace {

struct CharacterCase {
  char32_t code_point;
  int width;
};

TEST(CharacterWidthTest, CountsWideCharactersTwiceAndCombiningMarksNever) {
  const CharacterCase cases[] = {
      {.code_point = 'A', .width = 1},      {.code_point = 0xEB, .width = 1},  // ë
      {.code_point = 0x00AD, .width = 1},   // soft hyphen, which shows
      {.code_point = 0x0300, .width = 0},   // combining grave, the table's first
      {.code_point = 0x0308, .width = 0},   // combining diaeresis
      {.code_point = 0x036F, .width = 0},   // the end of that range
      {.code_point = 0x0370, .width = 1},   // just past it
      {.code_point = 0x0591, .width = 0},   // a Hebrew accent
      {.code_point = 0x0E31, .width = 0},   // a Thai vowel sign
      {.code_point = 0x1100, .width = 2},   // a Hangul initial
      {.code_point = 0x1160, .width = 0},   // a Hangul vowel
      {.code_point = 0x200B, .width = 0},   // zero width space
      {.code_point = 0x200D, .width = 0},   // zero width joiner
      {.code_point = 0x2581, .width = 1},   // ▁ of the trend line
      {.code_point = 0x3000, .width = 2},   // ideographic space
      {.code_point = 0x3042, .width = 2},   // あ
      {.code_point = 0x3099, .width = 0},   // combining kana voiced mark
      {.code_point = 0x4E00, .width = 2},   // 一
      {.code_point = 0x674E, .width = 2},   // 李
      {.code_point = 0x9F99, .width = 2},   // 龙
      {.code_point = 0xAC00, .width = 2},   // 가
      {.code_point = 0xD7A3, .width = 2},   // the last Hangul syllable
      {.code_point = 0xD7A4, .width = 1},   // just past it
      {.code_point = 0xFE0F, .width = 0},   // variation selector 16
      {.code_point = 0xFF21, .width = 2},   // fullwidth A
      {.code_point = 0xFF61, .width = 1},   // halfwidth ideographic full stop
      {.code_point = 0xFFFD, .width = 1},   // the replacement character
      {.code_point = 0x1D11E, .width = 1},  // 𝄞
      {.code_point = 0x1F600, .width = 2},  // 😀
      {.code_point = 0x20000, .width = 2},  // an ideograph of plane 2
      {.code_point = 0x3FFFD, .width = 2},  // the last of plane 3
      {.code_point = 0xE0001, .width = 0},  // language tag
      {.code_point = 0xE01EF, .width = 0},  // the last variation selector
      {.code_point = 0x10FFFF, .width = 1},
  };
  for (const CharacterCase& c : cases) {
    EXPECT_EQ(character_width(c.code_point), c.width)
        << std::hex << static_cast<std::uint32_t>(c.code_point);
  }
}

struct TextCase {
  std::string_view text;
  std::size_t width;
};

TEST(TextWidthTest, AddsTheWidthsOfTheCharacters) {
  const TextCase cases[] = {
      {.text = "", .width = 0},
      {.text = "Ann", .width = 3},
      {.text = "Zoë", .width = 3},
      {.text = "Zoe\xcc\x88", .width = 3},  // e and a combining diaeresis
      {.text = "李小龙", .width = 6},
      {.text = "ＡＢ", .width = 4},
      {.text = "▁▂▃▄▅▆▇█", .width = 8},
      {.text = "Bad\xff\xfe", .width = 5},  // each replacement counts 1
      {.text = "Cut\xe2\x82", .width = 4},  // one replacement for the cut sequence
  };
  for (const TextCase& c : cases) EXPECT_EQ(text_width(c.text), c.width) << c.text;
}

// Sequences that a terminal (tmux, VTE) draws as one emoji, in two columns.
TEST(TextWidthTest, CountsAnEmojiSequenceAsTheOneEmojiDrawn) {
  const TextCase cases[] = {
      // man, ZWJ, woman, ZWJ, girl: a family.
      {.text = "\U0001F468\u200D\U0001F469\u200D\U0001F467", .width = 2},
      {.text = "Ann\U0001F468\u200D\U0001F469\u200D\U0001F467x", .width = 6},
      {.text = "\U0001F1E9\U0001F1EA", .width = 2},                      // the flag DE
      {.text = "\U0001F1E9\U0001F1EA\U0001F1EB\U0001F1F7", .width = 4},  // two flags
      {.text = "\U0001F1E9", .width = 1},                                // half a flag
      {.text = "\u2764\uFE0F", .width = 2},                              // heart as an emoji
      {.text = "\u2764\uFE0E", .width = 1},                              // heart as text
      {.text = "\U0001F44D\U0001F3FD", .width = 2},                      // thumbs up, a skin tone
      {.text = "\U0001F469\U0001F3FD\u200D\U0001F4BB", .width = 2},      // a technologist
      {.text = "a\u200Db", .width = 2},          // letters joined are drawn apart
      {.text = "\u200D\U0001F469", .width = 2},  // a joiner with nothing before
  };
  for (const TextCase& c : cases) EXPECT_EQ(text_width(c.text), c.width) << c.text;
}

}  // namespace
}  // namespace text
