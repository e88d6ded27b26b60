#include "progress/output_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace progress {
namespace {

struct DateCase {
  records::LoggedTime time;
  std::string_view date;
  std::string_view date_time;  // with ' ' between date and time
};

TEST(IsoDateTest, WritesTheDateOrNothing) {
  const DateCase cases[] = {
      {.time = {.year = 2026, .month = 12, .day = 8, .hour = 10, .minute = 4, .second = 5},
       .date = "2026-12-08",
       .date_time = "2026-12-08 10:04:05"},
      {.time = {.year = 99, .month = 1, .day = 5},
       .date = "0099-01-05",
       .date_time = "0099-01-05 00:00:00"},
      {.time = {.year = -5, .month = 3, .day = 1, .second = 60},
       .date = "-0005-03-01",
       .date_time = "-0005-03-01 00:00:60"},
      {.time = {.year = 12026, .month = 12, .day = 8, .hour = 23, .minute = 59},
       .date = "12026-12-08",
       .date_time = "12026-12-08 23:59:00"},
      {.time = {}, .date = "", .date_time = ""},  // unknown
  };
  for (const DateCase& c : cases) {
    std::string date = "x";
    append_iso_date(c.time, date);
    EXPECT_EQ(date, "x" + std::string(c.date));
    std::string date_time;
    append_iso_date_time(c.time, ' ', date_time);
    EXPECT_EQ(date_time, c.date_time);
  }
}

struct TenthsCase {
  double value;
  std::string_view text;
};

TEST(TenthsTextTest, RoundsToATenthWithoutAWholeNumbersPoint) {
  const TenthsCase cases[] = {
      {.value = 41, .text = "41"},        {.value = 40.5, .text = "40.5"},
      {.value = 40.04, .text = "40"},     {.value = 40.06, .text = "40.1"},
      {.value = -5, .text = "-5"},        {.value = -0.5, .text = "-0.5"},
      {.value = 0, .text = "0"},          {.value = 1e6, .text = "1000000"},
      {.value = 1e100, .text = "1e+100"}, {.value = -2.5e9, .text = "-2.5e+09"},
  };
  for (const TenthsCase& c : cases) EXPECT_EQ(tenths_text(c.value), c.text) << c.value;
  EXPECT_EQ(rounded_text(87.5), "88");
  EXPECT_EQ(rounded_text(-0.5), "-1");
  EXPECT_EQ(integer_text(-9223372036854775807 - 1), "-9223372036854775808");
}

struct Utf8Case {
  std::string_view text;
  Utf8Character first;  // the character read at its start
};

TEST(ReadUtf8Test, ReadsACharacterOrTheBytesOfOneReplacement) {
  const Utf8Case cases[] = {
      {.text = "A", .first = {.code_point = 'A', .length = 1, .valid = true}},
      {.text = "\xc3\xab", .first = {.code_point = 0xEB, .length = 2, .valid = true}},
      {.text = "李", .first = {.code_point = 0x674E, .length = 3, .valid = true}},
      {.text = "𝄞", .first = {.code_point = 0x1D11E, .length = 4, .valid = true}},
      {.text = "\xf4\x8f\xbf\xbf", .first = {.code_point = 0x10FFFF, .length = 4, .valid = true}},
      {.text = "\xc2\x9b", .first = {.code_point = 0x9B, .length = 2, .valid = true}},
      // Not UTF-8: the first byte, and how many bytes one replacement takes.
      {.text = "\x9b", .first = {.code_point = 0x9B, .length = 1, .valid = false}},
      {.text = "\xff", .first = {.code_point = 0xFF, .length = 1, .valid = false}},
      {.text = "\xc0\xaf", .first = {.code_point = 0xC0, .length = 1, .valid = false}},
      {.text = "\xc3", .first = {.code_point = 0xC3, .length = 1, .valid = false}},
      {.text = "\xc3z", .first = {.code_point = 0xC3, .length = 1, .valid = false}},
      {.text = "\xe2\x82", .first = {.code_point = 0xE2, .length = 2, .valid = false}},
      {.text = "\xe2\x82z", .first = {.code_point = 0xE2, .length = 2, .valid = false}},
      {.text = "\xf0\x9d\x84", .first = {.code_point = 0xF0, .length = 3, .valid = false}},
      {.text = "\xe0\x80\xaf", .first = {.code_point = 0xE0, .length = 1, .valid = false}},
      {.text = "\xed\xa0\x80", .first = {.code_point = 0xED, .length = 1, .valid = false}},
      {.text = "\xf4\x90\x80\x80", .first = {.code_point = 0xF4, .length = 1, .valid = false}},
  };
  for (const Utf8Case& c : cases) {
    const Utf8Character read = read_utf8(c.text, 0);
    EXPECT_EQ(static_cast<std::uint32_t>(read.code_point),
              static_cast<std::uint32_t>(c.first.code_point))
        << c.text;
    EXPECT_EQ(read.length, c.first.length) << c.text;
    EXPECT_EQ(read.valid, c.first.valid) << c.text;
  }
  // A character read from within a text.
  const Utf8Character read = read_utf8("Zo\xc3\xab", 2);
  EXPECT_EQ(static_cast<std::uint32_t>(read.code_point), 0xEBu);
  EXPECT_EQ(read.length, 2u);
}

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
    append_terminal_text(c.text, appended);
    EXPECT_EQ(appended, "x" + std::string(c.shown));
  }
}

}  // namespace
}  // namespace progress
