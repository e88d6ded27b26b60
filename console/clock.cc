#include "console/clock.h"

namespace console {

text::CivilTime civil_from_tm(const std::tm& fields) {
  const auto field = [](int value) { return static_cast<std::uint8_t>(value); };
  return text::CivilTime{.year = static_cast<std::int64_t>(fields.tm_year) + 1900,
                         .month = field(fields.tm_mon + 1),
                         .day = field(fields.tm_mday),
                         .hour = field(fields.tm_hour),
                         .minute = field(fields.tm_min),
                         .second = field(fields.tm_sec),
                         .weekday = field(fields.tm_wday)};
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
