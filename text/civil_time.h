// A calendar time broken down into wall-clock fields: what a Clock's local
// time gives, and what the records.txt timestamp text lays out. A plain
// value with no code behind it, so the records format can use it without
// linking the console.
#ifndef TEXT_CIVIL_TIME_H_
#define TEXT_CIVIL_TIME_H_

#include <cstdint>

namespace text {

struct CivilTime {
  std::int64_t year;  // the full year, e.g. 2026
  int month;          // 0 (January) to 11
  int day;            // 1 to 31
  int hour;           // 0 to 23
  int minute;         // 0 to 59
  int second;         // 0 to 60
  int weekday;        // 0 (Sunday) to 6
};

}  // namespace text

#endif  // TEXT_CIVIL_TIME_H_
