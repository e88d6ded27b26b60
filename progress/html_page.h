// The --html output: a page that a browser opens from the disk, with no
// network and no script, one section per child with a chart of the child's
// tests over time. The chart is inline SVG: the percent of each test as
// circles joined by a solid line (left scale), the elapsed seconds as
// squares joined by a dashed line (right scale), one mark per test, earliest
// on the left, the dates under the marks, a legend and axis titles, so it
// reads without colour as well. Each mark names its test when pointed at.
// The page is XHTML as well as HTML: well-formed XML, with every name from
// the log escaped (xml_text.h).
#ifndef PROGRESS_HTML_PAGE_H_
#define PROGRESS_HTML_PAGE_H_

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "progress/test_order.h"

namespace progress {

// What the page shows of one child.
struct ChildChart {
  std::string_view name;
  std::uint64_t tests = 0;  // all of the child's tests read
  int best_percent = 0;
  LogTime first_start;              // the start of the child's first test
  std::span<const KeptTest> shown;  // the tests charted, earliest first; not empty
};

// The whole page, with one section per entry of `children`, in that order.
std::string html_page(std::span<const ChildChart> children);

}  // namespace progress

#endif  // PROGRESS_HTML_PAGE_H_
