// The clock and the time texts: the current calendar time, its breakdown into
// local wall-clock time, the 25-character timestamp text shown on the console
// and in the results log, and the time difference between two readings. The
// drill reads the time only through a Clock, so tests run it at fixed times
// (tests/support/fakes.h has a fake clock).
#ifndef CONSOLE_CLOCK_H_
#define CONSOLE_CLOCK_H_

#include <cstdint>
#include <ctime>
#include <optional>
#include <string_view>

namespace console {

// Whole seconds since 1970-01-01 00:00:00 UTC. Held in 64 bits, so dates
// stay right after January 2038.
using CalendarTime = std::int64_t;

// A calendar time broken down into wall-clock fields.
struct CivilTime {
  std::int64_t year;  // the full year, e.g. 2026
  int month;          // 0 (January) to 11
  int day;            // 1 to 31
  int hour;           // 0 to 23
  int minute;         // 0 to 59
  int second;         // 0 to 60
  int weekday;        // 0 (Sunday) to 6
};

class Clock {
 public:
  virtual ~Clock() = default;
  // The current calendar time, the fraction of the second dropped; nothing
  // when the platform's clock cannot be read.
  virtual std::optional<CalendarTime> now() = 0;
  // `time` in local time by the platform's time-zone rules; nothing when
  // the time has no local breakdown.
  virtual std::optional<CivilTime> local_time(CalendarTime time) = 0;
};

// The fields of a C library local-time breakdown, as the platform clocks
// return them.
CivilTime civil_from_tm(const std::tm& fields);

// The timestamp text: "%.3s %.3s %02d %02d:%02d:%02d %4d\n" of weekday,
// month, day, hours, minutes, seconds and year, e.g.
// "Tue Dec 08 22:42:40 2026\n".
struct Timestamp {
  char bytes[48];
  unsigned char size = 0;
  std::string_view view() const { return {bytes, size}; }
};

// The timestamp text of `time` in the clock's local time. When there is no
// time (the clock could not be read) or it has no local breakdown, the text
// is "??? ??? ?? ??:??:?? ????\n", of the same shape and length.
Timestamp timestamp_text(Clock& clock, std::optional<CalendarTime> time);

// The timestamp text of a broken-down time.
Timestamp format_timestamp(const CivilTime& civil);

// later - earlier in seconds, as a double holding a whole number. When
// either time is missing the difference is 0.
double time_difference(std::optional<CalendarTime> later, std::optional<CalendarTime> earlier);

}  // namespace console

#endif  // CONSOLE_CLOCK_H_
