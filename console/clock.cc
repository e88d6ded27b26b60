#include "console/clock.h"

namespace console {

text::CivilTime civil_from_tm(const std::tm& fields) {
  return text::CivilTime{static_cast<std::int64_t>(fields.tm_year) + 1900,
                         fields.tm_mon,
                         fields.tm_mday,
                         fields.tm_hour,
                         fields.tm_min,
                         fields.tm_sec,
                         fields.tm_wday};
}

double time_difference(std::optional<CalendarTime> later, std::optional<CalendarTime> earlier) {
  if (!later || !earlier) return 0.0;
  CalendarTime difference;
  if (__builtin_sub_overflow(*later, *earlier, &difference)) {
    return static_cast<double>(*later) - static_cast<double>(*earlier);
  }
  return static_cast<double>(difference);
}

}  // namespace console
