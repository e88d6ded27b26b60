#include "progress/column_layout.h"

#include <gtest/gtest.h>

#include <string>

namespace progress {
namespace {

using Layout = ColumnLayout<3>;

// Cells are padded to their column's width, two spaces apart, and rows
// trimmed at their end; places() says where write() put each column, and
// measuring by sizes widens the columns as the cells do.
TEST(ColumnLayoutTest, PadsCellsToTheirColumnsAndSaysWhereTheyStart) {
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
  Layout by_sizes({Align::left, Align::right, Align::left});
  for (const Case& c : cases) {
    by_rows.measure(c.row);
    by_sizes.measure({c.row[0].size(), c.row[1].size(), c.row[2].size()});
  }
  EXPECT_EQ(by_sizes.widths(), by_rows.widths());
  for (const Case& c : cases) {
    std::string written = "before\n";
    by_rows.write(c.row, &written);
    EXPECT_EQ(written, "before\n" + std::string(c.written));
  }
  const Layout::Places places = by_rows.places();
  EXPECT_EQ(places.starts, (Layout::Sizes{0, 13, 20}));
  EXPECT_EQ(places.end, 23u);
  EXPECT_EQ(std::string_view(cases[0].written).substr(places.starts[2], 1), "x");
  EXPECT_EQ(std::string_view(cases[3].written).substr(places.starts[2]), "end\n");
}

}  // namespace
}  // namespace progress
