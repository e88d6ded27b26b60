#include "console/clock.h"

#include <gtest/gtest.h>
#include <time.h>

#include <string>

#include "console/system.h"
#include "tests/support/fakes.h"

namespace console {
namespace {

using testing_support::FakeClock;

struct TimestampCase {
  CalendarTime time = 0;
  const char* text = "";
};

void PrintTo(const TimestampCase& c, std::ostream* os) { *os << c.time; }

class TimestampTest : public ::testing::TestWithParam<TimestampCase> {};

TEST_P(TimestampTest, LaysOutUtcTimeWithZeroPaddedDay) {
  FakeClock clock({});
  EXPECT_EQ(timestamp_text(clock, GetParam().time).view(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Dates, TimestampTest,
    ::testing::Values(TimestampCase{.time = 1796769760, .text = "Tue Dec 08 22:42:40 2026\n"},
                      TimestampCase{.time = 1798794303, .text = "Fri Jan 01 09:05:03 2027\n"},
                      TimestampCase{.time = 0, .text = "Thu Jan 01 00:00:00 1970\n"},
                      TimestampCase{.time = -1, .text = "Wed Dec 31 23:59:59 1969\n"},
                      TimestampCase{.time = 2147483648, .text = "Tue Jan 19 03:14:08 2038\n"},
                      TimestampCase{.time = 951782400, .text = "Tue Feb 29 00:00:00 2000\n"},
                      // Year 999 is right-aligned in four places; 10000 takes five.
                      TimestampCase{.time = -30610310400, .text = "Tue Dec 31 00:00:00  999\n"},
                      TimestampCase{.time = 253402300800, .text = "Sat Jan 01 00:00:00 10000\n"}));

TEST(Timestamp, MissingOrUnrepresentableTimeGivesPlaceholderOfSameShape) {
  FakeClock clock({});
  EXPECT_EQ(timestamp_text(clock, std::nullopt).view(), "??? ??? ?? ??:??:?? ????\n");
  EXPECT_EQ(timestamp_text(clock, CalendarTime{1} << 62).view(), "??? ??? ?? ??:??:?? ????\n");
  EXPECT_EQ(timestamp_text(clock, std::nullopt).view().size(), 25u);
}

TEST(TimeDifference, IsLaterMinusEarlierInWholeSeconds) {
  EXPECT_EQ(time_difference(1000, 760), 240.0);
  EXPECT_EQ(time_difference(760, 1000), -240.0);
  EXPECT_EQ(time_difference(2147483648 + 10, 2147483647), 11.0);
  EXPECT_EQ(time_difference(std::nullopt, 5), 0.0);
  EXPECT_EQ(time_difference(5, std::nullopt), 0.0);
}

TEST(SystemClock, ReadsNowAndBreaksItDownInLocalTime) {
  SystemClock clock;
  std::optional<CalendarTime> now = clock.now();
  ASSERT_TRUE(now.has_value());
  time_t seconds = static_cast<time_t>(*now);
  struct tm expected;
  ASSERT_NE(localtime_r(&seconds, &expected), nullptr);
  std::optional<CivilTime> civil = clock.local_time(*now);
  ASSERT_TRUE(civil.has_value());
  EXPECT_EQ(civil->year, expected.tm_year + 1900);
  EXPECT_EQ(civil->day, expected.tm_mday);
  EXPECT_EQ(civil->hour, expected.tm_hour);
  EXPECT_EQ(timestamp_text(clock, *now).view().size(), 25u);
}

}  // namespace
}  // namespace console
