// The --html output: a page that a browser opens from the disk, with no
// network and no script, one section per child and kind of test (headed
// "Zoë (multiplication/division)") with a chart of its latest tests. The chart is inline SVG: the
// percent of each test as circles joined by a solid line (left scale), the elapsed seconds as
// squares joined by a dashed line (right scale), one mark per test, earliest
// on the left, the dates under the marks, a legend and axis titles, so it
// reads without colour as well. Each mark names its test when pointed at.
// The page is XHTML as well as HTML: well-formed XML. Names from the log
// are escaped: '&', '<', '>', '"' and '\'' become character references;
// bytes that are not well-formed UTF-8 (each run that text::read_utf8 reads as
// one), characters that XML does not allow (U+FFFE, U+FFFF) and those that
// no output shows (text::hidden_character: controls, bidi overrides and
// isolates) become U+FFFD, the replacement character. A heading breaks
// anywhere in a name too long for the page's width.
#ifndef PROGRESS_HTML_PAGE_H_
#define PROGRESS_HTML_PAGE_H_

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "progress/progress_book.h"

namespace progress {

// The page's first and last lines, each followed by LF: what tells a page
// that this program wrote from any other file (page_file.h).
inline constexpr std::string_view kPageFirstLine = "<!DOCTYPE html>";
inline constexpr std::string_view kPageLastLine = "</html>";

// How many of a child's latest tests the chart shows: more would crowd a
// chart of one mark per test.
inline constexpr std::size_t kChartTests = 100;

// The whole page, with one section per child of `children`, in that order,
// charting the last kChartTests of each child's latest tests, then
// Parts of the page made elsewhere (the facts of fact_page.h), already
// escaped: rules for the page's style sheet, and sections after the charts.
struct PageParts {
  std::string_view style;
  std::string_view sections;
};

// `parts`, when not empty, go into the page too.
std::string html_page(std::span<const ChildProgress* const> children, const PageParts& parts = {});

// Appends `text`, escaped as above, to `out`.
void append_page_text(std::string_view text, std::string& out);

}  // namespace progress

#endif  // PROGRESS_HTML_PAGE_H_
