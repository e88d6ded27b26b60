#include "records/field_cursor.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "text/fixed_text.h"

namespace records {
namespace {

constexpr std::string_view kHead = "Results: ";
constexpr auto kLongHead = text::joined([] {
  return std::array{std::string_view("Time/performance rating: "), std::string_view("\r\n")};
});
constexpr auto kShortHead = text::joined([] { return std::array{kHead.substr(0, 3)}; });

TEST(FieldCursorTest, TakesFixedTextsOnlyWhenTheyAreAllThere) {
  for (const std::string_view text :
       {"Time/performance rating: \r\n7", "Time/performance rating: \n7",
        "Time/performance rating: \r", "Time/performance rating:  \r\n"}) {
    FieldCursor cursor(text);
    const bool whole = text == "Time/performance rating: \r\n7";
    EXPECT_EQ(cursor.fixed(kLongHead), whole) << text;
    EXPECT_EQ(cursor.used(), whole ? kLongHead.size() : 0u) << text;
  }
  FieldCursor cursor("Results: 18");
  EXPECT_TRUE(cursor.fixed(kShortHead));
  EXPECT_FALSE(cursor.fixed(std::string_view("ults:  ")));  // one space too many
  EXPECT_TRUE(cursor.fixed(std::string_view("ults: ")));
  EXPECT_FALSE(cursor.byte('8'));
  EXPECT_TRUE(cursor.byte('1'));
  EXPECT_TRUE(cursor.byte('8'));
  EXPECT_TRUE(cursor.at_end());
  EXPECT_FALSE(cursor.byte('8'));
  EXPECT_FALSE(cursor.fixed(std::string_view("x")));
}

TEST(FieldCursorTest, ReadsNumbersAsTheLogWritesThem) {
  struct Case {
    std::string_view text;
    std::string_view number;  // the text taken; empty when none
    std::int64_t value = 0;
  };
  const Case cases[] = {
      {.text = "95 seconds.", .number = "95", .value = 95},
      {.text = "-7,", .number = "-7", .value = -7},
      {.text = "0\r\n", .number = "0", .value = 0},
      {.text = "100", .number = "100", .value = 100},
      {.text = "101", .number = ""},  // beyond the largest allowed
      {.text = "07", .number = ""},
      {.text = "-0", .number = ""},
      {.text = "3-", .number = ""},
      {.text = "-", .number = ""},
      {.text = "", .number = ""},
      {.text = "x1", .number = ""},
  };
  for (const Case& c : cases) {
    FieldCursor cursor(c.text);
    std::int64_t value = -1;
    EXPECT_EQ(cursor.integer(-100, 100, &value), c.number) << c.text;
    EXPECT_EQ(value, c.number.empty() ? -1 : c.value) << c.text;
    EXPECT_EQ(cursor.used(), c.number.size()) << c.text;
  }
}

TEST(FieldCursorTest, TakesTextsUpToAByteOrTheLineEnd) {
  FieldCursor cursor("division,56\r\nnext");
  EXPECT_EQ(cursor.up_to(','), "division");
  EXPECT_TRUE(cursor.byte(','));
  EXPECT_EQ(cursor.up_to(';').data(), nullptr);  // none: nothing taken
  EXPECT_EQ(cursor.rest_of_line(), "56");
  EXPECT_EQ(cursor.remaining(), "\r\nnext");
  EXPECT_EQ(cursor.take(7), "");  // fewer bytes left
  EXPECT_EQ(cursor.take(2), "\r\n");
  EXPECT_EQ(cursor.rest_of_line(), "");  // no line end follows
  EXPECT_EQ(cursor.remaining(), "next");
  cursor.skip(10);
  EXPECT_TRUE(cursor.at_end());

  FieldCursor lf("Zoë\nx");
  EXPECT_EQ(lf.rest_of_line(), "Zoë");
  EXPECT_EQ(lf.remaining(), "\nx");
}

// The short reading of one to three digits takes what the general one
// takes, for every text of five bytes drawn from digits, signs and other
// bytes, and ranges that cut through the short numbers.
TEST(FieldCursorTest, ReadsShortNumbersAsTheGeneralReadingDoes) {
  constexpr std::string_view kBytes = "0129-x ";
  struct Range {
    std::int64_t min;
    std::int64_t max;
  };
  const Range ranges[] = {{.min = 0, .max = 20}, {.min = -5, .max = 100}, {.min = 10, .max = 999}};
  char text[5];
  for (std::size_t code = 0; code < 7 * 7 * 7 * 7 * 7; ++code) {
    for (std::size_t at = 0, rest = code; at < sizeof text; ++at, rest /= 7) {
      text[at] = kBytes[rest % 7];
    }
    for (const Range& range : ranges) {
      const std::string_view bytes(text, sizeof text);
      FieldCursor general(bytes);
      FieldCursor short_one(bytes);
      std::int64_t general_value = -1;
      std::int64_t short_value = -1;
      EXPECT_EQ(short_one.short_integer(range.min, range.max, &short_value),
                general.integer(range.min, range.max, &general_value))
          << bytes;
      EXPECT_EQ(short_value, general_value) << bytes;
      EXPECT_EQ(short_one.used(), general.used()) << bytes;
    }
  }
}

// Texts of every size up to 24 bytes, the same and with one byte changed in
// each place in turn: the words compared overlap, and none may miss a byte.
TEST(SameBytesTest, TellsTextsApartByAnyByteOfAnySize) {
  const std::string text = "abcdefghijklmnopqrstuvwx";
  for (std::size_t size = 0; size <= text.size(); ++size) {
    std::string copy = text.substr(0, size);
    EXPECT_TRUE(same_bytes(text.data(), copy.data(), size)) << size;
    for (std::size_t at = 0; at < size; ++at) {
      std::string changed = copy;
      changed[at] = '?';
      EXPECT_FALSE(same_bytes(text.data(), changed.data(), size)) << size << " at " << at;
    }
  }
}

}  // namespace
}  // namespace records
