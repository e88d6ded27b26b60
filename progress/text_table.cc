#include "progress/text_table.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

#include "progress/column_layout.h"
#include "progress/output_text.h"
#include "records/format.h"
#include "records/operations.h"
#include "text/safe_text.h"
#include "text/text_width.h"

namespace progress {

namespace {

constexpr std::size_t kTableColumns = 11;
constexpr std::size_t kListingColumns = 8;
using TableLayout = ColumnLayout<kTableColumns>;
using ListingLayout = ColumnLayout<kListingColumns>;

const TableLayout::Row kTableHeader = {
    "Name",  "Operations", "Tests",         "First test",      "Last test",    "Last %",
    "Grade", "Best %",     "Mean % last 5", "Median s last 5", "Last 20 tests"};
const ListingLayout::Row kListingHeader = {"Started", "Operations", "Limit",   "Right",
                                           "Percent", "Grade",      "Seconds", "Score"};

TableLayout::Row child_row(const ChildProgress& child, bool utf8);
// Between a test's right answers and the problems.
constexpr std::string_view kRightOf = " of ";

ListingLayout::Sizes test_cell_sizes(const KeptTest& test);
void append_test_row(const KeptTest& test, const ListingLayout& layout,
                     const ListingLayout::Places& places, std::string* out);
void append_last_cell(std::string_view cell, std::string* out);
std::span<const TrendTest> last(std::span<const TrendTest> tests, std::size_t count);
double mean_percent(std::span<const TrendTest> tests);
double median_seconds(std::span<const TrendTest> tests);
std::string trend_line(std::span<const TrendTest> tests, bool utf8);
std::string date_text(const text::CivilTime& time);
std::string percent_text(int percent);

}  // namespace

// Rows are made twice, once to measure and once to write, so that only
// one is kept however many children there are.
void write_summary_table(std::span<const ChildProgress* const> children, bool utf8,
                         OutputBuffer& out) {
  TableLayout layout({Align::left, Align::left, Align::right, Align::left, Align::left,
                      Align::right, Align::left, Align::right, Align::right, Align::right,
                      Align::left});
  layout.measure(kTableHeader);
  for (const ChildProgress* child : children) layout.measure(child_row(*child, utf8));
  layout.write(kTableHeader, &out.text());
  for (const ChildProgress* child : children) {
    layout.write(child_row(*child, utf8), &out.text());
    out.wrote();
  }
}

// The rows are made twice, once to measure and once to write, so that
// nothing but the child's tests is kept.
std::string test_answers_key(std::string_view started, records::Operations operations,
                             std::int32_t limit) {
  std::string key(started);
  key.push_back(',');
  key.append(records::names(operations).view());
  key.push_back(',');
  append_integer(limit, &key);
  return key;
}

void write_child_listing(std::span<const KeptTest> tests, OutputBuffer& out,
                         const MissedFacts* missed) {
  ListingLayout layout({Align::left, Align::left, Align::right, Align::right, Align::right,
                        Align::left, Align::right, Align::right});
  layout.measure(kListingHeader);
  // Every cell of a test is ASCII, made from its numbers: the columns are
  // measured by the cells' sizes, and each row is then put together in
  // place.
  for (const KeptTest& test : tests) layout.measure(test_cell_sizes(test));
  layout.write(kListingHeader, &out.text());
  // The score, right-aligned, ends every row at the same column, so the
  // missed facts line up after it.
  if (missed != nullptr) append_last_cell("Missed facts", &out.text());
  const ListingLayout::Places places = layout.places();
  for (const KeptTest& test : tests) {
    append_test_row(test, layout, places, &out.text());
    if (missed != nullptr) {
      std::string key;
      append_iso_date_time(test.start, 'T', &key);
      const auto found = missed->find(test_answers_key(key, test.operations, test.addend_limit));
      if (found != missed->end()) append_last_cell(found->second, &out.text());
    }
    out.wrote();
  }
}

namespace {

TableLayout::Row child_row(const ChildProgress& child, bool utf8) {
  const TrendTest& latest = child.trend.back();
  return {text::terminal_text(child.name),
          std::string(records::signs(child.operations).view()),
          integer_text(static_cast<std::int64_t>(child.tests)),
          date_text(child.first_start),
          date_text(child.last_start),
          percent_text(latest.percent),
          std::string(records::letter_grade(latest.percent)),
          percent_text(child.best_percent),
          rounded_text(mean_percent(last(child.trend, kAverageTests))) + "%",
          tenths_text(median_seconds(last(child.trend, kAverageTests))),
          trend_line(last(child.trend, kTrendTests), utf8)};
}

// The cells of the row of `test`, written over those of the row before,
// so that their storage is reused.
// Puts `cell` at the end of the row that `out` ends with, before its line
// end, two spaces after the row's last cell.
void append_last_cell(std::string_view cell, std::string* out) {
  out->pop_back();
  out->append("  ");
  out->append(cell);
  out->push_back('\n');
}

// The sizes of the cells that append_test_row() puts, found without
// putting them.
ListingLayout::Sizes test_cell_sizes(const KeptTest& test) {
  return {test.start.known() ? iso_date_time_size(test.start) : 1,
          static_cast<std::size_t>(test.operations.count()),
          integer_size(test.addend_limit),
          integer_size(test.right) + kRightOf.size() + integer_size(records::kProblemCount),
          integer_size(test.percent) + 1,
          records::letter_grade(test.percent).size(),
          test.elapsed_size,
          integer_size(test.rating)};
}

// Appends the row of `test` to `out` as the layout writes a row of its
// cells, each cell put straight into its place in a row of spaces: the
// rows of a listing are many. Every row is as long, as the last cell, the
// score, is right-aligned and never empty. The cells were measured first,
// by the sizes that place them here (test_cell_sizes()), so none is wider
// than its column. One that was would start at its column and run over the
// cells after it, and past the row's end into room kept there for one
// cell, never out of `out`.
void append_test_row(const KeptTest& test, const ListingLayout& layout,
                     const ListingLayout::Places& places, std::string* out) {
  const ListingLayout::Sizes sizes = test_cell_sizes(test);
  const std::size_t row_start = out->size();
  out->resize(row_start + places.end + kIsoDateTimeRoom, ' ');
  char* const row = out->data() + row_start;
  // Where the cell of column `i` starts: at its column's start when it is
  // left-aligned, or as wide as the column or wider.
  const auto cell = [&layout, &places, &sizes, row](std::size_t i) {
    const std::size_t width = layout.widths()[i];
    const std::size_t pad = width - std::min(sizes[i], width);
    return row + places.starts[i] + (layout.aligns()[i] == Align::right ? pad : 0);
  };
  if (test.start.known()) {
    put_iso_date_time(test.start, ' ', cell(0));
  } else {
    *cell(0) = '?';
  }
  const records::OperationsText& signs = records::signs(test.operations);
  std::copy_n(signs.bytes, signs.size, cell(1));
  put_integer(test.addend_limit, cell(2));
  char* end = put_integer(test.right, cell(3));
  end = std::copy(kRightOf.begin(), kRightOf.end(), end);
  put_integer(records::kProblemCount, end);
  *put_integer(test.percent, cell(4)) = '%';
  const std::string_view grade = records::letter_grade(test.percent);
  std::copy(grade.begin(), grade.end(), cell(5));
  std::copy_n(test.elapsed_bytes, test.elapsed_size, cell(6));
  put_integer(test.rating, cell(7));
  out->resize(row_start + places.end + 1);
  row[places.end] = '\n';
}

// The last `count` of `tests`, or all of them when there are fewer.
std::span<const TrendTest> last(std::span<const TrendTest> tests, std::size_t count) {
  return tests.last(std::min(count, tests.size()));
}

// 0 when there are no tests.
double mean_percent(std::span<const TrendTest> tests) {
  if (tests.empty()) return 0;
  double sum = 0;
  for (const TrendTest& test : tests) sum += test.percent;
  return sum / static_cast<double>(tests.size());
}

// The middle value, or the mean of the two middle values; 0 when there are
// no tests.
double median_seconds(std::span<const TrendTest> tests) {
  const std::size_t n = tests.size();
  if (n == 0) return 0;
  std::vector<double> seconds;
  seconds.reserve(n);
  for (const TrendTest& test : tests) seconds.push_back(test.seconds);
  std::sort(seconds.begin(), seconds.end());
  return n % 2 != 0 ? seconds[n / 2] : (seconds[n / 2 - 1] + seconds[n / 2]) / 2;
}

std::string trend_line(std::span<const TrendTest> tests, bool utf8) {
  // U+2581..U+2588, three bytes each in UTF-8.
  constexpr std::string_view kBlocks = "▁▂▃▄▅▆▇█";
  constexpr std::size_t kBlockSize = 3;
  constexpr int kLevels = 8;
  std::string line;
  for (const TrendTest& test : tests) {
    const int percent = std::clamp(test.percent, 0, 100);
    if (utf8) {
      // The nearest of the eight heights: 0..100 onto 0..7.
      const auto level = static_cast<std::size_t>((percent * (kLevels - 1) + 50) / 100);
      line.append(kBlocks.substr(level * kBlockSize, kBlockSize));
    } else {
      line.push_back(static_cast<char>('0' + std::min(percent / 10, 9)));
    }
  }
  return line;
}

std::string date_text(const text::CivilTime& time) {
  std::string text;
  append_iso_date(time, &text);
  return time.known() ? text : "?";
}

std::string percent_text(int percent) { return integer_text(percent) + "%"; }

}  // namespace

}  // namespace progress
