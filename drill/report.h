// The end-of-test report: takes the facts of a finished test from the
// records.txt format (records/block_writer.h), writes them to the console
// and appends the same facts as one block to the results log. Called by the
// drill driver once at the end of every test; the driver also takes the
// timestamp text of a test's start from here.
#ifndef DRILL_REPORT_H_
#define DRILL_REPORT_H_

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "console/clock.h"
#include "console/console_output.h"
#include "files/append_file.h"
#include "records/answers_writer.h"
#include "records/format.h"
#include "records/operations.h"
#include "records/timestamp.h"

namespace drill {

// What the driver knows about one finished test.
struct TestRecord {
  std::string_view name;
  records::Operations operations = records::Operations::mixed_addition_subtraction();
  std::int32_t addend_limit = 0;  // the largest number
  std::int32_t right_count = 0;
  std::optional<console::CalendarTime> start_time;
  std::optional<console::CalendarTime> end_time;
  std::array<records::GivenAnswer, records::kProblemCount> answers = {};
};

// Writes the report to `out` and appends its block to `log`, and returns how
// the append went. A log that cannot be opened or written changes nothing on
// the console, and no part of the block is left in the log; the caller says
// so.
files::AppendResult write_report(const TestRecord& record, console::ConsoleOutput& out,
                                 console::Clock& clock, files::Appender& log);

// Appends the lines of the test's answers to `answers` (answers.csv), and
// returns how the append went: on failure nothing of them stays there.
files::AppendResult write_answers(const TestRecord& record, console::Clock& clock,
                                  files::Appender& answers);

// The timestamp text of `time` in the clock's local time: the placeholder
// when there is no time or the clock cannot break it down.
records::Timestamp local_timestamp(console::Clock& clock,
                                   std::optional<console::CalendarTime> time);

}  // namespace drill

#endif  // DRILL_REPORT_H_
