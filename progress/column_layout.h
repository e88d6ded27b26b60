// Aligned columns for the terminal outputs: cells padded to their column's
// widest cell, measured in the columns a terminal gives them (text_width),
// two spaces between columns and no spaces at a row's end. The table of
// children, the --child listing and the facts table use it.
#ifndef PROGRESS_COLUMN_LAYOUT_H_
#define PROGRESS_COLUMN_LAYOUT_H_

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
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
  // Cells of ASCII text only, one column a byte, as views.
  using AsciiCells = std::array<std::string_view, kColumns>;
  // The sizes of a row's ASCII cells.
  using Sizes = std::array<std::size_t, kColumns>;

  explicit ColumnLayout(const std::array<Align, kColumns>& aligns) : aligns_(aligns) {}

  // Widens the columns to hold the cells of `row`.
  void measure(const Row& row) {
    for (std::size_t i = 0; i < kColumns; ++i) {
      widths_[i] = std::max(widths_[i], text::text_width(row[i]));
    }
  }

  // Widens the columns to hold ASCII cells of these sizes, as measure()
  // does.
  void measure(const Sizes& sizes) {
    for (std::size_t i = 0; i < kColumns; ++i) widths_[i] = std::max(widths_[i], sizes[i]);
  }

  // Appends `cells` to `out` as write() appends a row, in one piece: the
  // row is laid down in spaces and each cell copied to its place.
  void write(const AsciiCells& cells, std::string* out) const {
    std::size_t room = 1;
    for (std::size_t i = 0; i < kColumns; ++i) room += 2 + std::max(widths_[i], cells[i].size());
    const std::size_t row_start = out->size();
    out->resize(row_start + room, ' ');
    char* const start = out->data() + row_start;
    char* at = start;
    for (std::size_t i = 0; i < kColumns; ++i) {
      const std::string_view cell = cells[i];
      const std::size_t width = std::max(widths_[i], cell.size());
      if (i > 0) at += 2;
      if (!cell.empty()) {
        std::memcpy(aligns_[i] == Align::right ? at + (width - cell.size()) : at, cell.data(),
                    cell.size());
      }
      at += width;
    }
    // Left-aligned cells at the end leave padding behind them.
    while (at > start && at[-1] == ' ') --at;
    *at++ = '\n';
    out->resize(row_start + static_cast<std::size_t>(at - start));
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
  std::array<std::size_t, kColumns> widths_{};
};

}  // namespace progress

#endif  // PROGRESS_COLUMN_LAYOUT_H_
