#include "console/clock.h"

#include <gtest/gtest.h>
#include <time.h>

#include <string>

#include "console/system.h"
#include "tests/support/fakes.h"

namespace console {
namespace {

using testing_support::FakeClock;
using testing_support::utc_time;

struct TimestampCase {
  CalendarTime time;
  const char* text;
};

void PrintTo(const TimestampCase& c, std::ostream* os) { *os << c.time; }

class TimestampTest : public ::testing::TestWithParam<TimestampCase> {};

TEST_P(TimestampTest, LaysOutUtcTimeWithZeroPaddedDay) {
  FakeClock clock({});
  EXPECT_EQ(timestamp_text(clock, GetParam().time).view(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Dates, TimestampTest,
    ::testing::Values(TimestampCase{1796769760, "Tue Dec 08 22:42:40 2026\n"},
                      TimestampCase{1798794303, "Fri Jan 01 09:05:03 2027\n"},
                      TimestampCase{0, "Thu Jan 01 00:00:00 1970\n"},
                      TimestampCase{-1, "Wed Dec 31 23:59:59 1969\n"},
                      TimestampCase{2147483648, "Tue Jan 19 03:14:08 2038\n"},
                      TimestampCase{951782400, "Tue Feb 29 00:00:00 2000\n"},
                      // Year 999 is right-aligned in four places; 10000 takes five.
                      TimestampCase{-30610310400, "Tue Dec 31 00:00:00  999\n"},
                      TimestampCase{253402300800, "Sat Jan 01 00:00:00 10000\n"}));

TEST(Timestamp, MissingOrUnrepresentableTimeGivesPlaceholderOfSameShape) {
  FakeClock clock({});
  EXPECT_EQ(timestamp_text(clock, std::nullopt).view(), "??? ??? ?? ??:??:?? ????\n");
  EXPECT_EQ(timestamp_text(clock, CalendarTime{1} << 62).view(), "??? ??? ?? ??:??:?? ????\n");
  EXPECT_EQ(timestamp_text(clock, std::nullopt).view().size(), 25u);
}

// The breakdown done without the platform agrees with the C library's
// gmtime over four centuries around now, both sides of 1970.
TEST(UtcTime, AgreesWithPlatformGmtime) {
  for (CalendarTime t = -6000000000; t < 7000000000; t += 86400 * 7 + 3671) {
#ifdef _WIN32
    if (t < 0) continue;  // the Windows C runtime breaks down no time before 1970
#endif
    time_t seconds = static_cast<time_t>(t);
    struct tm expected;
    ASSERT_NE(gmtime_r(&seconds, &expected), nullptr);
    std::optional<CivilTime> civil = utc_time(t);
    ASSERT_TRUE(civil.has_value());
    ASSERT_EQ(civil->year, expected.tm_year + 1900) << t;
    ASSERT_EQ(civil->month, expected.tm_mon) << t;
    ASSERT_EQ(civil->day, expected.tm_mday) << t;
    ASSERT_EQ(civil->hour, expected.tm_hour) << t;
    ASSERT_EQ(civil->minute, expected.tm_min) << t;
    ASSERT_EQ(civil->second, expected.tm_sec) << t;
    ASSERT_EQ(civil->weekday, expected.tm_wday) << t;
  }
}

TEST(TimeDifference, IsLaterMinusEarlierInWholeSeconds) {
  EXPECT_EQ(time_difference(1000, 760), 240.0);
  EXPECT_EQ(time_difference(760, 1000), -240.0);
  EXPECT_EQ(time_difference(2147483648 + 10, 2147483647), 11.0);
  EXPECT_EQ(time_difference(std::nullopt, 5), 0.0);
  EXPECT_EQ(time_difference(5, std::nullopt), 0.0);
}

TEST(FakeClock, HandsOutReadingsThenRepeatsTheLast) {
  FakeClock clock({10, std::nullopt, 30});
  EXPECT_EQ(clock.now(), 10);
  EXPECT_EQ(clock.now(), std::nullopt);
  EXPECT_EQ(clock.now(), 30);
  EXPECT_EQ(clock.now(), 30);
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
