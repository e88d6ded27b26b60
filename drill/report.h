// The end-of-test report: computes elapsed time, percent score, letter grade
// and timed performance score, writes the report to the console and appends
// the same facts as one nine-line block to the results log. Called by the
// drill driver once at the end of every test.
#ifndef DRILL_REPORT_H_
#define DRILL_REPORT_H_

#include <cstdint>
#include <optional>
#include <string_view>

#include "console/append_file.h"
#include "console/clock.h"
#include "console/console_output.h"

namespace drill {

// What the driver knows about one finished test.
struct TestRecord {
  std::string_view name;
  std::int32_t addend_limit = 0;
  std::int32_t right_count = 0;
  std::optional<console::CalendarTime> start_time;
  std::optional<console::CalendarTime> end_time;
  std::int32_t problem_count = 20;
};

// Writes the report to `out` and appends its block to `log`, and returns how
// the append went. A log that cannot be opened or written changes nothing on
// the console, and no part of the block is left in the log; the caller says
// so.
console::AppendResult write_report(const TestRecord& record, console::ConsoleOutput& out,
                                   console::Clock& clock, console::Appender& log);

// The letter grade of a percent score: "A+" from 98, "A" from 90, "B+" from
// 88, "B" from 80, "C+" from 78, "C" from 70, "D+" from 68, "D" from 60, else
// "F".
const char* letter_grade(std::int32_t percent);

// right count × percent / max(elapsed, 1), truncated toward zero. An elapsed
// time below one second, negative ones included, divides by 1.
std::int32_t performance_score(std::int32_t right_count, std::int32_t percent, double elapsed);

}  // namespace drill

#endif  // DRILL_REPORT_H_
