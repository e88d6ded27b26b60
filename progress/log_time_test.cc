#include "progress/log_time.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace progress {
namespace {

struct TimeCase {
  std::string_view text;
  bool valid = false;
  std::string_view iso = "";  // iso_date_time of what was read
};

TEST(ParseLogTimeTest, ReadsTimestampsAndChecksTheirDates) {
  const TimeCase cases[] = {
      {.text = "Tue Dec 08 10:04:00 2026", .valid = true, .iso = "2026-12-08T10:04:00"},
      {.text = "Thu Jan 01 00:00:00 1970", .valid = true, .iso = "1970-01-01T00:00:00"},
      {.text = "Sun Dec 31 23:59:60 2028", .valid = true, .iso = "2028-12-31T23:59:60"},
      {.text = "Tue Feb 29 12:00:00 2000", .valid = true, .iso = "2000-02-29T12:00:00"},
      {.text = "Thu Feb 29 12:00:00 2024", .valid = true, .iso = "2024-02-29T12:00:00"},
      // "%4d" years: short ones padded with spaces, long ones as they are.
      {.text = "Thu Jan 01 00:00:00   99", .valid = true, .iso = "0099-01-01T00:00:00"},
      {.text = "Tue Dec 08 10:04:00 12026", .valid = true, .iso = "12026-12-08T10:04:00"},
      {.text = "Wed Mar 01 00:00:00   -5", .valid = true, .iso = "-0005-03-01T00:00:00"},
      {.text = "Sat Jan 01 00:00:00    0", .valid = true, .iso = "0000-01-01T00:00:00"},
      {.text = "??? ??? ?? ??:??:?? ????", .valid = true, .iso = ""},
      {.text = "Wed Dec 08 10:04:00 2026"},  // Dec 8, 2026 is a Tuesday
      {.text = "Thu Feb 29 12:00:00 1900"},  // 1900 had no Feb 29
      {.text = "Sun Feb 29 12:00:00 2026"},
      {.text = "Wed Apr 31 12:00:00 2026"},
      {.text = "Tue Dec 00 10:04:00 2026"},
      {.text = "Tue Dec 08 24:00:00 2026"},
      {.text = "Tue Dec 08 10:60:00 2026"},
      {.text = "Tue Dec 08 10:04:61 2026"},
      {.text = "Tue Dec  8 10:04:00 2026"},  // the day is "%02d"
      {.text = "tue Dec 08 10:04:00 2026"},
      {.text = "Tue DEC 08 10:04:00 2026"},
      {.text = "Tue Dec 08 10:04:00 02026"},
      {.text = "Tue Dec 08 10:04:00  2026"},
      {.text = "Thu Jan 01 00:00:00 0099"},  // no zeros before a year
      {.text = "Tue Dec 08 10:04:00 2026 "},
      {.text = "Tue Dec 08 10:04 2026"},
      {.text = "??? ??? ?? ??:??:?? 2026"},
      {.text = "Tue Dec 08 10:04:00 1234567890123456789"},  // more than 18 digits
      {.text = ""},
  };
  for (const TimeCase& c : cases) {
    LogTime time;
    time.year = 77;
    EXPECT_EQ(parse_log_time(c.text, &time), c.valid) << c.text;
    if (c.valid) {
      EXPECT_EQ(iso_date_time(time).view(), c.iso) << c.text;
      EXPECT_EQ(time.known(), !c.iso.empty()) << c.text;
    } else {
      EXPECT_EQ(time.year, 77) << c.text << ": left alone";
    }
  }
}

TEST(ParseLogTimeTest, ChecksAWeekdayAgainAfterTheSameDateWasRead) {
  LogTime time;
  ASSERT_TRUE(parse_log_time("Tue Dec 08 10:04:00 2026", &time));
  EXPECT_FALSE(parse_log_time("Mon Dec 08 11:00:00 2026", &time));
  EXPECT_TRUE(parse_log_time("Tue Dec 08 11:00:00 2026", &time));
  EXPECT_EQ(time.hour, 11);
}

TEST(ParseLogTimeTest, OrdersTimesWithinTheYear) {
  LogTime earlier;
  LogTime later;
  ASSERT_TRUE(parse_log_time("Mon Nov 30 23:59:59 2026", &earlier));
  ASSERT_TRUE(parse_log_time("Tue Dec 01 00:00:00 2026", &later));
  EXPECT_LT(earlier.time_of_year(), later.time_of_year());
  ASSERT_TRUE(parse_log_time("Tue Dec 01 00:00:01 2026", &earlier));
  EXPECT_GT(earlier.time_of_year(), later.time_of_year());
}

TEST(IsoDateTest, WritesTheDateOrNothing) {
  LogTime time;
  ASSERT_TRUE(parse_log_time("Tue Dec 08 10:04:05 2026", &time));
  EXPECT_EQ(iso_date(time).view(), "2026-12-08");
  EXPECT_EQ(iso_date_time(time, ' ').view(), "2026-12-08 10:04:05");
  EXPECT_EQ(iso_date(LogTime{}).view(), "");
  EXPECT_EQ(iso_date_time(LogTime{}).view(), "");
}

}  // namespace
}  // namespace progress
