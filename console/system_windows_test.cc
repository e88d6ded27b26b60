// The rest of the Windows platform layer: the system clock's local time.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "console/clock.h"
#include "console/system.h"
#include "records/timestamp.h"
#include "tests/support/transcript.h"

namespace console {
namespace {

// Seconds since 1970 of a wall-clock time read as if it were UTC; its
// weekday must fit the date.
CalendarTime as_utc(const text::CivilTime& time) {
  const records::Timestamp timestamp = records::timestamp_text(time);
  const std::string_view text = timestamp.view();
  const std::optional<std::int64_t> seconds = testing_support::utc_seconds(text);
  EXPECT_TRUE(seconds.has_value()) << text;
  return seconds.value_or(0);
}

// The local breakdown is the UTC one shifted by a zone offset, in 64-bit
// time: also after January 2038, where a 32-bit time would have wrapped.
TEST(WindowsSystemClock, LocalTimeIsUtcShiftedByTheZone) {
  SystemClock clock;
  const std::optional<CalendarTime> now = clock.now();
  ASSERT_TRUE(now.has_value());
  EXPECT_GT(*now, 1700000000);  // later than November 2023
  for (CalendarTime time : {*now, CalendarTime{1796724000}, CalendarTime{4102444800 + 3661}}) {
    const std::optional<text::CivilTime> local = clock.local_time(time);
    ASSERT_TRUE(local.has_value()) << time;
    const CalendarTime offset = as_utc(*local) - time;
    EXPECT_LE(offset < 0 ? -offset : offset, 14 * 3600) << time;
    EXPECT_EQ(offset % 900, 0) << time;
  }
}

// Times before 1970 have no breakdown in the C runtime: the clock says so
// instead of handing out garbage, and the timestamp shows question marks.
TEST(WindowsSystemClock, TimeBefore1970HasNoBreakdown) {
  SystemClock clock;
  EXPECT_FALSE(clock.local_time(-86400 * 400).has_value());
  EXPECT_EQ(records::timestamp_text(clock.local_time(-86400 * 400)).view(),
            testing_support::kNoTime);
}

}  // namespace
}  // namespace console
