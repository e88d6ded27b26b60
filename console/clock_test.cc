#include "console/clock.h"

#include <gtest/gtest.h>
#include <time.h>

#include "console/system.h"

namespace console {
namespace {

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
  std::optional<text::CivilTime> civil = clock.local_time(*now);
  ASSERT_TRUE(civil.has_value());
  EXPECT_EQ(civil->year, expected.tm_year + 1900);
  EXPECT_EQ(civil->month, expected.tm_mon + 1);
  EXPECT_EQ(civil->day, expected.tm_mday);
  EXPECT_EQ(civil->hour, expected.tm_hour);
  EXPECT_EQ(civil->minute, expected.tm_min);
  EXPECT_EQ(civil->weekday, expected.tm_wday);
}

}  // namespace
}  // namespace console
