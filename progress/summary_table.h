// The default output: one row per child under a header row, in aligned
// columns. For each child: the name, the number of tests, the dates of the
// first and the last test, the last test's percent and grade, the best
// percent, the mean percent and the median elapsed seconds of the last five
// tests, and the trend line (trend.h) of the last twenty. "First" and
// "last" follow the order of test_order.h. A date that was not logged shows
// as "?".
#ifndef PROGRESS_SUMMARY_TABLE_H_
#define PROGRESS_SUMMARY_TABLE_H_

#include <cstddef>
#include <span>
#include <string>

#include "progress/progress_book.h"

namespace progress {

// How many of a child's latest tests the mean and median, and the trend
// line, take in.
inline constexpr std::size_t kAverageTests = 5;
inline constexpr std::size_t kTrendTests = 20;

// Appends the table of `children` (in the order given) to `out`. `utf8`
// chooses the trend line's characters. Each child has at least one test.
void write_summary_table(std::span<const ChildProgress* const> children, bool utf8,
                         std::string* out);

}  // namespace progress

#endif  // PROGRESS_SUMMARY_TABLE_H_
