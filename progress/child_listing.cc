#include "progress/child_listing.h"

#include <array>
#include <charconv>
#include <cstring>
#include <string_view>

#include "progress/block_format.h"
#include "progress/text_columns.h"

namespace progress {

namespace {

constexpr std::size_t kColumns = 7;

constexpr std::array<std::string_view, kColumns> kHeader = {
    "Started", "Limit", "Right", "Percent", "Grade", "Seconds", "Score"};

// The cells of one row, in storage of their own, so that making a row
// allocates nothing.
class Row {
 public:
  explicit Row(const KeptTest& test);
  std::array<std::string_view, kColumns> cells() const;

 private:
  char started_[48];
  char numbers_[96];
  std::array<std::string_view, kColumns> cells_;
};

}  // namespace

void write_child_listing(const std::deque<KeptTest>& tests, OutputBuffer& out) {
  ColumnLayout layout({Align::kLeft, Align::kRight, Align::kRight, Align::kRight, Align::kLeft,
                       Align::kRight, Align::kRight});
  layout.measure(kHeader);
  for (const KeptTest& test : tests) layout.measure(Row(test).cells());
  layout.write(kHeader, &out.text());
  for (const KeptTest& test : tests) {
    layout.write(Row(test).cells(), &out.text());
    out.wrote();
  }
}

namespace {

Row::Row(const KeptTest& test) {
  const TimeText started = iso_date_time(test.start, ' ');
  const std::string_view started_text = test.start.known() ? started.view() : "?";
  std::memcpy(started_, started_text.data(), started_text.size());
  cells_[0] = std::string_view(started_, started_text.size());

  // The numbers one after another in one buffer, each a cell.
  char* at = numbers_;
  char* const end = numbers_ + sizeof numbers_;
  auto number = [&](std::int64_t value, std::string_view after) {
    char* from = at;
    at = std::to_chars(at, end, value).ptr;
    std::memcpy(at, after.data(), after.size());
    at += after.size();
    return std::string_view(from, static_cast<std::size_t>(at - from));
  };
  cells_[1] = number(test.addend_limit, "");
  cells_[2] = number(test.right, " of 20");
  cells_[3] = number(test.percent, "%");
  cells_[4] = letter_grade(test.percent);
  cells_[5] = test.elapsed_text();
  cells_[6] = number(test.rating, "");
}

std::array<std::string_view, kColumns> Row::cells() const { return cells_; }

}  // namespace

}  // namespace progress
