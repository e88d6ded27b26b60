// The test-support doubles and the transcript model's time texts: the fake
// clock's readings, its UTC breakdown against the C library's, and timestamp
// texts read back into seconds.
#include "tests/support/fakes.h"

#include <gtest/gtest.h>
#include <time.h>

#include "tests/support/transcript.h"

namespace testing_support {
namespace {

using console::CalendarTime;
using text::CivilTime;

TEST(FakeClock, HandsOutReadingsThenRepeatsTheLast) {
  FakeClock clock({10, std::nullopt, 30});
  EXPECT_EQ(clock.now(), 10);
  EXPECT_EQ(clock.now(), std::nullopt);
  EXPECT_EQ(clock.now(), 30);
  EXPECT_EQ(clock.now(), 30);
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
    ASSERT_EQ(civil->month, expected.tm_mon + 1) << t;
    ASSERT_EQ(civil->day, expected.tm_mday) << t;
    ASSERT_EQ(civil->hour, expected.tm_hour) << t;
    ASSERT_EQ(civil->minute, expected.tm_min) << t;
    ASSERT_EQ(civil->second, expected.tm_sec) << t;
    ASSERT_EQ(civil->weekday, expected.tm_wday) << t;
  }
}

// Timestamp texts read back: real moments only, whatever their form.
TEST(UtcSeconds, ReadsTimestampTextsOfRealMomentsOnly) {
  EXPECT_EQ(utc_seconds("Tue Dec 08 10:00:00 2026"), 1796724000);
  EXPECT_EQ(utc_seconds("Thu Jan 01 00:00:00 1970"), 0);
  EXPECT_EQ(utc_seconds("Fri Jan 01 09:05:03 2027"), 1798794303);
  EXPECT_EQ(utc_seconds(utc_timestamp(-30610310400)), -30610310400);  // year " 999"
  EXPECT_TRUE(utc_seconds("Tue Feb 29 00:00:00 2028").has_value());
  EXPECT_EQ(utc_seconds("Thu Feb 29 00:00:00 2027"), std::nullopt);  // no such day
  EXPECT_EQ(utc_seconds("Wed Dec 08 10:00:00 2026"), std::nullopt);  // wrong weekday
  EXPECT_EQ(utc_seconds("Tue Dec  8 10:00:00 2026"), std::nullopt);  // not zero-padded
  EXPECT_EQ(utc_seconds("Tue Dec 08 24:00:00 2026"), std::nullopt);
  EXPECT_EQ(utc_seconds("??? ??? ?? ??:??:?? ????"), std::nullopt);
}

}  // namespace
}  // namespace testing_support
