#include "progress/output_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

namespace progress {
namespace {

struct DateCase {
  text::CivilTime time;
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
      // Four digits or more, on both sides of the short way for four.
      {.time = {.year = 0, .month = 1, .day = 1},
       .date = "0000-01-01",
       .date_time = "0000-01-01 00:00:00"},
      {.time = {.year = 9999, .month = 12, .day = 31},
       .date = "9999-12-31",
       .date_time = "9999-12-31 00:00:00"},
      {.time = {.year = 10000, .month = 1, .day = 1},
       .date = "10000-01-01",
       .date_time = "10000-01-01 00:00:00"},
      {.time = {.year = std::numeric_limits<std::int64_t>::min(), .month = 1, .day = 1},
       .date = "-9223372036854775808-01-01",
       .date_time = "-9223372036854775808-01-01 00:00:00"},
      {.time = {}, .date = "", .date_time = ""},  // unknown
  };
  for (const DateCase& c : cases) {
    std::string date = "x";
    append_iso_date(c.time, &date);
    EXPECT_EQ(date, "x" + std::string(c.date));
    std::string date_time;
    append_iso_date_time(c.time, ' ', &date_time);
    EXPECT_EQ(date_time, c.date_time);
    EXPECT_EQ(iso_date_time_size(c.time), c.date_time.size());
  }
}

TEST(IntegerSizeTest, IsTheSizeOfTheTextWritten) {
  constexpr std::int64_t kLeast = std::numeric_limits<std::int64_t>::min();
  constexpr std::int64_t kMost = std::numeric_limits<std::int64_t>::max();
  for (const std::int64_t value :
       {kLeast, kLeast + 1, std::int64_t{-1000}, std::int64_t{-999}, std::int64_t{-10},
        std::int64_t{-9}, std::int64_t{-1}, std::int64_t{0}, std::int64_t{9}, std::int64_t{10},
        std::int64_t{99}, std::int64_t{100}, std::int64_t{999'999}, std::int64_t{1'000'000},
        kMost}) {
    char text[kIntegerRoom];
    EXPECT_EQ(integer_size(value), static_cast<std::size_t>(put_integer(value, text) - text))
        << value;
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

}  // namespace
}  // namespace progress
