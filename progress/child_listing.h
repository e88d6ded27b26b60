// The --child output: one row per test of one child, earliest first (the
// order of test_order.h), under a header row, in aligned columns: the date
// and time the test started ("?" when not logged), the addend limit, the
// answers right out of 20, the percent and grade, the elapsed seconds as
// logged and the timed performance score. The rows are made twice, once to
// measure and once to write, and written out as they are made, so nothing
// but the child's tests is kept.
#ifndef PROGRESS_CHILD_LISTING_H_
#define PROGRESS_CHILD_LISTING_H_

#include <deque>

#include "progress/output_buffer.h"
#include "progress/test_order.h"

namespace progress {

// Writes the listing of `tests` (in the order given) to `out`.
void write_child_listing(const std::deque<KeptTest>& tests, OutputBuffer& out);

}  // namespace progress

#endif  // PROGRESS_CHILD_LISTING_H_
