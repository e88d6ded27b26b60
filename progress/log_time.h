// The timestamps of the results log. The drill writes local time as
// "%.3s %.3s %02d %02d:%02d:%02d %4d" of weekday, month, day, time and year
// ("Tue Dec 08 10:04:00 2026"; year 99 as "  99", 12026 as "12026"), or
// "??? ??? ?? ??:??:?? ????" when its clock could not be read. This module
// reads that text into fields and writes the fields as ISO 8601 dates for
// the outputs. The block reader, the ordering of tests and every output use
// it. No locale, no time-zone rules: times stay the wall-clock times logged.
#ifndef PROGRESS_LOG_TIME_H_
#define PROGRESS_LOG_TIME_H_

#include <cstdint>
#include <string_view>

namespace progress {

// A logged time. month is 0 for the placeholder (the time is unknown).
struct LogTime {
  std::int64_t year = 0;     // as logged: 2026, 99, -5
  std::uint8_t month = 0;    // 1..12, or 0 when unknown
  std::uint8_t day = 0;      // 1..31
  std::uint8_t hour = 0;     // 0..23
  std::uint8_t minute = 0;   // 0..59
  std::uint8_t second = 0;   // 0..60 (a leap second)
  std::uint8_t weekday = 0;  // 0 (Sunday)..6

  bool known() const { return month != 0; }
  // Month, day and time packed so that a larger value is later in the year.
  std::uint32_t time_of_year() const {
    return ((((month * 32u + day) * 32u + hour) * 64u + minute) * 64u) + second;
  }
};

// Reads a timestamp text without its line end. Stores the placeholder as an
// unknown time. Returns false, leaving `*time` alone, for any other text:
// a different shape, an unknown weekday or month name, a day the month does
// not have, a weekday that does not fall on that date (by the Gregorian
// calendar), hours past 23, minutes past 59, seconds past 60, or a year of
// more than 18 digits. `*time` must hold an unknown time or one that this
// function stored: when it holds the same date, the date is not checked
// again (the block reader reads two times a test, mostly of one date).
bool parse_log_time(std::string_view text, LogTime* time);

// Reads the time of day of a timestamp text whose date part (all of it
// but "hh:mm:ss") is the same text as the one `*time` was read from, into
// `*time`. Returns false, leaving `*time` alone, when the time of day is not
// valid. The block reader reads a starting time this way when it falls on
// the ending time's date.
bool parse_time_of_day(std::string_view text, LogTime* time);

// A short text with its own storage.
struct TimeText {
  char bytes[48];
  std::uint8_t size = 0;
  std::string_view view() const { return {bytes, size}; }
};

// "YYYY-MM-DD": the year with at least four digits, a '-' before a negative
// one ("0099-01-05", "-0005-03-01", "12026-12-08"). Empty when unknown.
TimeText iso_date(const LogTime& time);

// The date, `separator`, then "HH:MM:SS": "2026-12-08T10:04:00" with 'T'.
// Empty when unknown.
TimeText iso_date_time(const LogTime& time, char separator = 'T');

}  // namespace progress

#endif  // PROGRESS_LOG_TIME_H_
