// Text in aligned columns for a terminal or a plain file: the table of
// children and the --child listing. Widths count UTF-8 code points, not
// bytes, so "Zoë" takes three places. Cells are measured in one pass over
// the rows and written in a second, so no cell needs to be stored.
#ifndef PROGRESS_TEXT_COLUMNS_H_
#define PROGRESS_TEXT_COLUMNS_H_

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace progress {

enum class Align { kLeft, kRight };

class ColumnLayout {
 public:
  // One entry per column.
  explicit ColumnLayout(std::vector<Align> aligns);

  // Widens the columns to hold these cells (one per column; missing ones
  // are empty, extra ones ignored).
  void measure(std::span<const std::string_view> cells);

  // Appends the row to `out`: each cell padded to its column's width, two
  // spaces between columns, no spaces at the end, then "\n".
  void write(std::span<const std::string_view> cells, std::string* out) const;

 private:
  std::vector<Align> aligns_;
  std::vector<std::size_t> widths_;
};

// The places `text` takes on a terminal: its bytes that are not UTF-8
// continuation bytes (10xxxxxx).
std::size_t display_width(std::string_view text);

// `text` with every control character (bytes 0-31 and 127) replaced by '?',
// so that a name from a file cannot move a terminal's cursor or change its
// colours.
std::string terminal_text(std::string_view text);

}  // namespace progress

#endif  // PROGRESS_TEXT_COLUMNS_H_
