#include "progress/column_layout.h"

#include <gtest/gtest.h>

#include <string>

namespace progress {
namespace {

using Layout = ColumnLayout<3>;

// Rows of owned cells and rows of ASCII views are padded and trimmed alike,
// whichever way each was measured.
TEST(ColumnLayoutTest, WritesAsciiCellsAsItWritesRows) {
  struct Case {
    Layout::Row row;
    std::string_view written;
  };
  const Case cases[] = {
      {.row = {"Ann", "7", "x"}, .written = "Ann              7  x\n"},
      {.row = {"Bartholomew", "12345", ""}, .written = "Bartholomew  12345\n"},
      {.row = {"", "", ""}, .written = "\n"},
      {.row = {"Zo", "", "end"}, .written = "Zo                  end\n"},
  };
  Layout by_rows({Align::left, Align::right, Align::left});
  Layout by_cells({Align::left, Align::right, Align::left});
  for (const Case& c : cases) {
    by_rows.measure(c.row);
    by_cells.measure({c.row[0].size(), c.row[1].size(), c.row[2].size()});
  }
  for (const Case& c : cases) {
    std::string from_row = "before\n";
    std::string from_cells = "before\n";
    by_rows.write(c.row, &from_row);
    by_cells.write(Layout::AsciiCells{c.row[0], c.row[1], c.row[2]}, &from_cells);
    EXPECT_EQ(from_row, "before\n" + std::string(c.written));
    EXPECT_EQ(from_cells, from_row);
  }
}

}  // namespace
}  // namespace progress
