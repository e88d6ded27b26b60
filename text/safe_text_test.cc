#include "text/safe_text.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace text {
namespace {

TEST(HiddenCharacterTest, HidesControlsAndBidiOverridesAndIsolates) {
  for (char32_t hidden : {0x00, 0x09, 0x1B, 0x1F, 0x7F, 0x80, 0x85, 0x9B, 0x9F, 0x202A, 0x202B,
                          0x202C, 0x202D, 0x202E, 0x2066, 0x2067, 0x2068, 0x2069}) {
    EXPECT_TRUE(hidden_character(hidden)) << static_cast<unsigned>(hidden);
  }
  for (char32_t shown : {0x20, 0x41, 0x7E, 0xA0, 0xEB, 0x200F, 0x2029, 0x202F, 0x2065, 0x206A,
                         0x674E, 0xFFFD, 0x1D11E}) {
    EXPECT_FALSE(hidden_character(shown)) << static_cast<unsigned>(shown);
  }
}

struct ShownCase {
  std::string_view text;
  std::string_view shown;
};

TEST(TerminalTextTest, ShowsControlsAsQuestionMarksAndWhatIsNotUtf8AsReplacements) {
  const ShownCase cases[] = {
      {.text = "Ann", .shown = "Ann"},
      {.text = "Zoë 李小龙 𝄞", .shown = "Zoë 李小龙 𝄞"},
      {.text = "Red\x1b[31mAlert", .shown = "Red?[31mAlert"},
      {.text = "\x1b]0;owned\x07", .shown = "?]0;owned?"},
      {.text = std::string_view("a\0b\x7f\tc\r", 7), .shown = "a?b??c?"},
      {.text = "\302\23331m", .shown = "?31m"},  // U+009B, the 8-bit CSI, then "31m"
      {.text = "\xc2\x80\xc2\x9f", .shown = "??"},
      {.text = "\23331m", .shown = "?31m"},  // the same as a raw byte 0x9B
      {.text = "\x80\x9f\xa0", .shown = "??\uFFFD"},
      {.text = "\xe2\x80\xaeZed", .shown = "?Zed"},  // right-to-left override
      {.text = "\xe2\x80\xaa\xe2\x80\xac", .shown = "??"},
      {.text = "\xe2\x81\xa6x\xe2\x81\xa9", .shown = "?x?"},  // an isolate
      {.text = "\xe2\x80\x8f", .shown = "\xe2\x80\x8f"},      // a right-to-left mark
      {.text = "Bad\xff\xfe", .shown = "Bad\uFFFD\uFFFD"},
      {.text = "Cut\xe2\x82", .shown = "Cut\uFFFD"},
      {.text = "\xc0\xaf", .shown = "\uFFFD\uFFFD"},       // overlong '/': 0xAF is no control
      {.text = "\xed\xa0\x80", .shown = "\uFFFD\uFFFD?"},  // a surrogate
      {.text = "", .shown = ""},
  };
  for (const ShownCase& c : cases) {
    EXPECT_EQ(terminal_text(c.text), c.shown) << c.text;
    std::string appended = "x";
    append_terminal_text(c.text, &appended);
    EXPECT_EQ(appended, "x" + std::string(c.shown));
  }
}

TEST(HideInPlaceTest, ReplacesEachHiddenCharacterWithOneQuestionMarkAndKeepsOtherBytes) {
  const ShownCase cases[] = {
      {.text = "Ann", .shown = "Ann"},
      {.text = "Zo\xc3\xab", .shown = "Zo\xc3\xab"},
      {.text = "a\tb\x1b[31m\x7f", .shown = "a?b?[31m?"},
      {.text = "\xe2\x80\xaeZed\xe2\x81\xa9", .shown = "?Zed?"},  // bidi override, isolate
      {.text = "\xc2\x9b"
               "31m",
       .shown = "?31m"},                                                // U+009B, the 8-bit CSI
      {.text = "Bad\xff\x9b\xe2\x82", .shown = "Bad\xff\x9b\xe2\x82"},  // not UTF-8: stays
  };
  for (const ShownCase& c : cases) {
    std::string bytes(c.text);
    bytes.resize(hide_in_place(bytes.data(), bytes.size()));
    EXPECT_EQ(bytes, c.shown) << c.text;
  }
}

}  // namespace
}  // namespace text
