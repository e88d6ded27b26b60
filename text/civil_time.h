// A calendar time broken down into wall-clock fields: what a Clock's local
// time gives, what the records.txt timestamp text lays out, and what reading
// that text gives back. A plain value with no code behind it, so the records
// format can use it without linking the console. The one time type of both
// programs.
#ifndef TEXT_CIVIL_TIME_H_
#define TEXT_CIVIL_TIME_H_

#include <cstdint>

namespace text {

// All zero for a time that is not known: the timestamp placeholder, which
// stands for a time the drill could not read.
struct CivilTime {
  std::int64_t year = 0;     // the full year: 2026, 99, -5
  std::uint8_t month = 0;    // 1 (January) to 12; 0 when the time is unknown
  std::uint8_t day = 0;      // 1 to 31
  std::uint8_t hour = 0;     // 0 to 23
  std::uint8_t minute = 0;   // 0 to 59
  std::uint8_t second = 0;   // 0 to 60 (a leap second)
  std::uint8_t weekday = 0;  // 0 (Sunday) to 6

  bool known() const { return month != 0; }
};

}  // namespace text

#endif  // TEXT_CIVIL_TIME_H_
