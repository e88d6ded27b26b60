// The clock: the current calendar time, its breakdown into local wall-clock
// time, and the time difference between two readings. The drill reads the
// time only through a Clock, so tests run it at fixed times
// (tests/support/fakes.h has a fake clock); the timestamp text that shows a
// local time is records/timestamp.h.
#ifndef CONSOLE_CLOCK_H_
#define CONSOLE_CLOCK_H_

#include <cstdint>
#include <ctime>
#include <optional>

#include "text/civil_time.h"

namespace console {

// Whole seconds since 1970-01-01 00:00:00 UTC. Held in 64 bits, so dates
// stay right after January 2038.
using CalendarTime = std::int64_t;

class Clock {
 public:
  virtual ~Clock() = default;
  // The current calendar time, the fraction of the second dropped; nothing
  // when the platform's clock cannot be read.
  virtual std::optional<CalendarTime> now() = 0;
  // `time` in local time by the platform's time-zone rules; nothing when
  // the time has no local breakdown.
  virtual std::optional<text::CivilTime> local_time(CalendarTime time) = 0;
  // A count of milliseconds that only goes forward (a monotonic clock),
  // for timing an answer; 0 when the platform has none.
  virtual std::uint64_t milliseconds() = 0;
};

// The fields of a C library local-time breakdown, as the platform clocks
// return them.
text::CivilTime civil_from_tm(const std::tm& fields);

// later - earlier in seconds, as a double holding a whole number. When
// either time is missing the difference is 0.
double time_difference(std::optional<CalendarTime> later, std::optional<CalendarTime> earlier);

}  // namespace console

#endif  // CONSOLE_CLOCK_H_
