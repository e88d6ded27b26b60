// Aligned columns for the terminal outputs: cells padded to their column's
// widest cell, measured in the columns a terminal gives them (text_width),
// two spaces between columns and no spaces at a row's end. The table of
// children, the --child listing and the facts table use it.
#ifndef PROGRESS_COLUMN_LAYOUT_H_
#define PROGRESS_COLUMN_LAYOUT_H_

#include <algorithm>
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "text/text_width.h"

namespace progress {

enum class Align { left, right };

// The columns of a table: how each is aligned and how wide it is. Cells
// are measured in one pass over the rows and written in a second.
template <std::size_t kColumns>
class ColumnLayout {
 public:
  using Row = std::array<std::string, kColumns>;
  // The sizes of a row's cells of ASCII text, one column a byte.
  using Sizes = std::array<std::size_t, kColumns>;

  explicit ColumnLayout(const std::array<Align, kColumns>& aligns) : aligns_(aligns) {}

  // Widens the columns to hold the cells of `row`.
  void measure(const Row& row) {
    for (std::size_t i = 0; i < kColumns; ++i) {
      widths_[i] = std::max(widths_[i], text::text_width(row[i]));
    }
  }

  // Widens the columns to hold ASCII cells of these sizes, as measure()
  // does for a row.
  void measure(const Sizes& sizes) {
    for (std::size_t i = 0; i < kColumns; ++i) widths_[i] = std::max(widths_[i], sizes[i]);
  }

  // Each column's width: its widest cell measured.
  const Sizes& widths() const { return widths_; }
  // How each column's cells are aligned.
  const std::array<Align, kColumns>& aligns() const { return aligns_; }

  // Where write() puts each column in a row: the columns' starts, two
  // spaces apart, and where the last one ends. A row whose cells are no
  // wider than their columns, and whose last cell is right-aligned and not
  // empty, is written that long.
  struct Places {
    Sizes starts{};
    std::size_t end = 0;
  };
  Places places() const {
    Places places;
    for (std::size_t i = 0; i < kColumns; ++i) {
      places.starts[i] = places.end + (i > 0 ? 2 : 0);
      places.end = places.starts[i] + widths_[i];
    }
    return places;
  }

  // Appends `row` to `out`: each cell padded to its column's width, two
  // spaces between columns, no spaces at the end, then "\n".
  void write(const Row& row, std::string* out) const {
    const std::size_t row_start = out->size();
    for (std::size_t i = 0; i < kColumns; ++i) {
      const std::size_t width = text::text_width(row[i]);
      const std::size_t padding = widths_[i] > width ? widths_[i] - width : 0;
      if (i > 0) out->append("  ");
      if (aligns_[i] == Align::right) out->append(padding, ' ');
      out->append(row[i]);
      if (aligns_[i] == Align::left) out->append(padding, ' ');
    }
    // Left-aligned cells at the end leave padding behind them.
    const std::size_t last = out->find_last_not_of(' ');
    out->resize(last == std::string::npos || last < row_start ? row_start : last + 1);
    out->push_back('\n');
  }

 private:
  std::array<Align, kColumns> aligns_;
  Sizes widths_{};
};

}  // namespace progress

#endif  // PROGRESS_COLUMN_LAYOUT_H_
