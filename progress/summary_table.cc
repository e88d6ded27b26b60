#include "progress/summary_table.h"

#include <array>
#include <string_view>

#include "progress/log_time.h"
#include "progress/number_text.h"
#include "progress/text_columns.h"
#include "progress/trend.h"

namespace progress {

namespace {

constexpr std::size_t kColumns = 10;
using Cells = std::array<std::string, kColumns>;

constexpr std::array<std::string_view, kColumns> kHeader = {
    "Name",  "Tests",  "First test",    "Last test",       "Last %",
    "Grade", "Best %", "Mean % last 5", "Median s last 5", "Last 20 tests"};

Cells child_cells(const ChildProgress& child, bool utf8);
std::string date_text(const LogTime& time);
std::string percent_text(int percent);
std::array<std::string_view, kColumns> views(const Cells& cells);

}  // namespace

void write_summary_table(std::span<const ChildProgress* const> children, bool utf8,
                         std::string* out) {
  ColumnLayout layout({Align::kLeft, Align::kRight, Align::kLeft, Align::kLeft, Align::kRight,
                       Align::kLeft, Align::kRight, Align::kRight, Align::kRight, Align::kLeft});
  std::vector<Cells> rows;
  rows.reserve(children.size());
  layout.measure(kHeader);
  for (const ChildProgress* child : children) {
    rows.push_back(child_cells(*child, utf8));
    layout.measure(views(rows.back()));
  }
  layout.write(kHeader, out);
  for (const Cells& row : rows) layout.write(views(row), out);
}

namespace {

Cells child_cells(const ChildProgress& child, bool utf8) {
  const KeptTest& last = child.recent.latest();
  return {terminal_text(child.name),
          integer_text(static_cast<std::int64_t>(child.tests)),
          date_text(child.first.start),
          date_text(last.start),
          percent_text(last.percent),
          letter_grade(last.percent),
          percent_text(child.best_percent),
          rounded_text(mean_percent(child.recent, kAverageTests)) + "%",
          tenths_text(median_seconds(child.recent, kAverageTests)),
          trend_line(child.recent, kTrendTests, utf8)};
}

std::string date_text(const LogTime& time) {
  return time.known() ? std::string(iso_date(time).view()) : "?";
}

std::string percent_text(int percent) { return integer_text(percent) + "%"; }

std::array<std::string_view, kColumns> views(const Cells& cells) {
  std::array<std::string_view, kColumns> result;
  for (std::size_t i = 0; i < kColumns; ++i) result[i] = cells[i];
  return result;
}

}  // namespace

}  // namespace progress
