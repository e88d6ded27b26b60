// The trend line of the table: one character per test, earliest first,
// showing its percent. On a terminal that shows UTF-8 it is a block of one
// to eight eighths' height (▁▂▃▄▅▆▇█: 0% is ▁, 100% is █); elsewhere it is
// the tens digit, 0 to 9 (90% and 100% are both 9).
#ifndef PROGRESS_TREND_H_
#define PROGRESS_TREND_H_

#include <cstddef>
#include <string>

#include "progress/recent_tests.h"

namespace progress {

// The trend line of the last `count` tests kept in `tests` (all of them
// when fewer).
std::string trend_line(const RecentTests& tests, std::size_t count, bool utf8);

}  // namespace progress

#endif  // PROGRESS_TREND_H_
