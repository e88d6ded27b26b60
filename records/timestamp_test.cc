#include "records/timestamp.h"

#include <gtest/gtest.h>

#include <ostream>

#include "tests/support/transcript.h"

namespace records {
namespace {

using text::CivilTime;

struct TimestampCase {
  CivilTime time;
  const char* text = "";
};

void PrintTo(const TimestampCase& c, std::ostream* os) { *os << c.text; }

class TimestampTest : public ::testing::TestWithParam<TimestampCase> {};

TEST_P(TimestampTest, LaysOutTheFieldsWithZeroPaddedDayAndTime) {
  EXPECT_EQ(timestamp_text(GetParam().time).view(), GetParam().text);
}

constexpr CivilTime at(std::int64_t year, int month, int day, int hour, int minute, int second,
                       int weekday) {
  return {.year = year,
          .month = month,
          .day = day,
          .hour = hour,
          .minute = minute,
          .second = second,
          .weekday = weekday};
}

INSTANTIATE_TEST_SUITE_P(
    Dates, TimestampTest,
    ::testing::Values(
        TimestampCase{.time = at(2026, 11, 8, 22, 42, 40, 2), .text = "Tue Dec 08 22:42:40 2026"},
        TimestampCase{.time = at(2027, 0, 1, 9, 5, 3, 5), .text = "Fri Jan 01 09:05:03 2027"},
        TimestampCase{.time = at(1970, 0, 1, 0, 0, 0, 4), .text = "Thu Jan 01 00:00:00 1970"},
        TimestampCase{.time = at(2000, 1, 29, 0, 0, 0, 2), .text = "Tue Feb 29 00:00:00 2000"},
        // A leap second, as a local-time breakdown may give it.
        TimestampCase{.time = at(2016, 11, 31, 23, 59, 60, 6), .text = "Sat Dec 31 23:59:60 2016"},
        // "%4d": year 999 is right-aligned in four places; 10000 takes five.
        TimestampCase{.time = at(999, 11, 31, 0, 0, 0, 2), .text = "Tue Dec 31 00:00:00  999"},
        TimestampCase{.time = at(10000, 0, 1, 0, 0, 0, 6), .text = "Sat Jan 01 00:00:00 10000"},
        TimestampCase{.time = at(-44, 2, 15, 12, 0, 0, 5), .text = "Fri Mar 15 12:00:00  -44"},
        // A negative field is padded as "%02d" pads it: the sign counts.
        TimestampCase{.time = at(2026, 11, -5, 7, 0, 0, 2), .text = "Tue Dec -5 07:00:00 2026"},
        // A weekday or month out of range shows as the first name.
        TimestampCase{.time = at(2026, 12, 8, 10, 0, 0, 7), .text = "Sun Jan 08 10:00:00 2026"},
        TimestampCase{.time = at(2026, -1, 8, 10, 0, 0, -1), .text = "Sun Jan 08 10:00:00 2026"}));

TEST(Timestamp, UnknownTimeGivesThePlaceholderOfTheSameShape) {
  EXPECT_EQ(timestamp_text(std::nullopt).view(), testing_support::kNoTime);
  EXPECT_EQ(timestamp_text(std::nullopt).view().size(),
            timestamp_text(at(2026, 11, 8, 22, 42, 40, 2)).view().size());
}

// Fields far out of range still fit the buffer whole.
TEST(Timestamp, ExtremeFieldsFitTheBuffer) {
  const CivilTime extreme = at(INT64_MIN, 0, INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN, 0);
  EXPECT_EQ(timestamp_text(extreme).view(),
            "Sun Jan -2147483648 -2147483648:-2147483648:-2147483648 -9223372036854775808");
}

}  // namespace
}  // namespace records
