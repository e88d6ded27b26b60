#include "progress/text_columns.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <string_view>

namespace progress {
namespace {

TEST(ColumnLayoutTest, AlignsByCodePointsNotBytes) {
  ColumnLayout layout({Align::kLeft, Align::kRight, Align::kLeft});
  const std::array<std::string_view, 3> rows[] = {
      {"Name", "Tests", "Trend"},
      {"Zoë", "3", "▅▆▆"},
      {"Ann", "12", "9"},
  };
  for (const auto& row : rows) layout.measure(row);
  std::string out;
  for (const auto& row : rows) layout.write(row, &out);
  EXPECT_EQ(out,
            "Name  Tests  Trend\n"
            "Zoë       3  ▅▆▆\n"
            "Ann      12  9\n");
}

TEST(ColumnLayoutTest, LeavesNoSpacesAtTheEndOfARow) {
  ColumnLayout layout({Align::kLeft, Align::kLeft});
  const std::array<std::string_view, 2> wide = {"a", "longer"};
  const std::array<std::string_view, 1> short_row = {"abc"};
  layout.measure(wide);
  layout.measure(short_row);
  std::string out;
  layout.write(short_row, &out);
  layout.write(wide, &out);
  EXPECT_EQ(out, "abc\na    longer\n");
}

TEST(DisplayWidthTest, CountsCodePoints) {
  EXPECT_EQ(display_width(""), 0u);
  EXPECT_EQ(display_width("Ann"), 3u);
  EXPECT_EQ(display_width("Zoë"), 3u);
  EXPECT_EQ(display_width("█▇"), 2u);
  EXPECT_EQ(display_width("\xff\xfe"), 2u);  // each stray byte shows as one mark
}

TEST(TerminalTextTest, ReplacesControlCharacters) {
  EXPECT_EQ(terminal_text("Red\x1b[31mAlert"), "Red?[31mAlert");
  EXPECT_EQ(terminal_text(std::string("a\0b\x7f\tc", 6)), "a?b??c");
  EXPECT_EQ(terminal_text("Zoë"), "Zoë");
}

}  // namespace
}  // namespace progress
