// The two outputs for a terminal or a plain file, in aligned columns under
// a header row: the table of children (the default) and one child's tests
// (--child). Columns are as wide as their widest cell, counted in the
// columns a terminal gives it (text_width), not in bytes or characters:
// "Zoë" takes three, "李小龙" six; two spaces part them, and no row ends in
// spaces. Names are shown made safe (text::terminal_text: controls and bidi
// overrides as '?', bytes that are not UTF-8 as U+FFFD), and a date that
// was not logged as "?".
#ifndef PROGRESS_TEXT_TABLE_H_
#define PROGRESS_TEXT_TABLE_H_

#include <cstddef>
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <string_view>

#include "progress/output_buffer.h"
#include "progress/progress_book.h"

namespace progress {

// How many of a child's latest tests the mean and median take in, and how
// many the trend line shows.
inline constexpr std::size_t kAverageTests = 5;
inline constexpr std::size_t kTrendTests = 20;

// Appends the table of `children` (in the order given) to `out`: for each
// child and kind of test the name, the operations' signs ("+-", "x/"), the
// number of tests, the dates of the first and the last
// test, the last test's percent and grade, the best percent, the mean
// percent and the median elapsed seconds of the last five tests, and the
// trend line of the last twenty: one character per test, earliest first,
// showing its percent. With `utf8` it is a block of one to eight eighths'
// height (▁▂▃▄▅▆▇█: 0% is ▁, 100% is █); otherwise the tens digit, 0 to 9
// (90% and 100% are both 9). Each child has at least one test, and the
// book kept at least the trend of its last kTrendTests.
void write_summary_table(std::span<const ChildProgress* const> children, bool utf8,
                         OutputBuffer& out);

// The facts missed in each test of a child, as the prompt shows them
// ("7 x 8, 15 - 7"), by test_answers_key() of the test.
using MissedFacts = std::map<std::string, std::string>;

// The key of a test in MissedFacts: its start "YYYY-MM-DDTHH:MM:SS", its
// operations' names and its limit, joined by ','.
std::string test_answers_key(std::string_view started, records::Operations operations,
                             std::int32_t limit);

// Writes the listing of one child's `tests` (in the order given) to `out`,
// a row per test as it is made: the date and time the test started, the
// operations' signs, the limit, the answers right out of the problems, the percent and
// grade, the elapsed seconds as logged and the timed performance score.
// With `missed` (answers were read), a last column "Missed facts" lists the
// facts missed in each test.
void write_child_listing(std::span<const KeptTest> tests, OutputBuffer& out,
                         const MissedFacts* missed = nullptr);

}  // namespace progress

#endif  // PROGRESS_TEXT_TABLE_H_
