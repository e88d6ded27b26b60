#include "progress/text_table.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/support/fakes.h"
#include "tests/support/progress_files.h"
#include "tests/support/transcript.h"

namespace progress {
namespace {

using Block = testing_support::BlockFacts;

// The cells of each row of a table: its text split at runs of two spaces
// or more.
std::vector<std::vector<std::string>> cells_of(const std::string& table) {
  std::vector<std::vector<std::string>> rows;
  std::size_t at = 0;
  while (at < table.size()) {
    const std::size_t end = table.find('\n', at);
    const std::string line = table.substr(at, end - at);
    std::vector<std::string>& row = rows.emplace_back();
    std::size_t cell = line.find_first_not_of(' ');
    while (cell != std::string::npos) {
      const std::size_t gap = line.find("  ", cell);
      row.push_back(line.substr(cell, gap - cell));
      cell = gap == std::string::npos ? gap : line.find_first_not_of(' ', gap);
    }
    at = end + 1;
  }
  return rows;
}

// A book of the tests of `blocks`, read in that order.
class TextTableTest : public ::testing::Test {
 protected:
  void add(const Block& block) {
    const std::optional<records::LoggedTest> test = testing_support::read_test(block);
    ASSERT_TRUE(test) << block.text();
    book_.add(*test);
  }

  // A test on day `day` of December 2026 (a Tuesday the 1st).
  Block on_day(int day, int right, std::string elapsed = "60", std::string name = "Ann") {
    static const char* const kDays[] = {"Tue", "Wed", "Thu", "Fri", "Sat", "Sun", "Mon"};
    char start[32];
    std::snprintf(start, sizeof start, "%s Dec %02d 10:00:00 2026", kDays[(day - 1) % 7], day);
    return Block{
        .name = std::move(name), .start = start, .elapsed = std::move(elapsed), .right = right};
  }

  std::string table(bool utf8 = false) {
    const std::vector<const ChildProgress*> children = book_.finish();
    testing_support::StringSink sink;
    OutputBuffer out(sink);
    write_summary_table(children, utf8, out);
    EXPECT_TRUE(out.flush());
    return sink.bytes();
  }

  ProgressBook book_{Keep{.trend = kTrendTests}};
};

TEST_F(TextTableTest, AlignsColumnsByTheirWidthOnATerminal) {
  add(on_day(1, 14, "60", "Zoë"));
  add(on_day(1, 14, "60", "Zoe\xcc\x88"));  // e and a combining diaeresis
  add(on_day(1, 14, "60", "李小龙"));       // two columns each
  add(on_day(2, 20, "1e+06", "Ann"));
  add(on_day(3, 16, "49", "Ann"));
  EXPECT_EQ(table(true),
            "Name    Operations  Tests  First test  Last test   Last %  Grade  Best %  "
            "Mean % last 5  Median s last 5  Last 20 tests\n"
            "Ann     +-              2  2026-12-02  2026-12-03     80%  B        100%  "
            "          90%         500024.5  █▇\n"
            "Zoe\xcc\x88     +-              1  2026-12-01  2026-12-01     70%  C         70%  "
            "          70%               60  ▆\n"
            "Zoë     +-              1  2026-12-01  2026-12-01     70%  C         70%  "
            "          70%               60  ▆\n"
            "李小龙  +-              1  2026-12-01  2026-12-01     70%  C         70%  "
            "          70%               60  ▆\n");
}

struct AverageCase {
  std::vector<std::string> seconds;  // of the tests in time order
  std::vector<int> rights;
  std::string mean_percent;
  std::string median_seconds;
};

TEST_F(TextTableTest, AveragesTheLastFiveTests) {
  const AverageCase cases[] = {
      {.seconds = {"30"}, .rights = {18}, .mean_percent = "90%", .median_seconds = "30"},
      {.seconds = {"30", "41"},
       .rights = {17, 18},
       .mean_percent = "88%",
       .median_seconds = "35.5"},
      {.seconds = {"5", "90", "40"},
       .rights = {20, 0, 10},
       .mean_percent = "50%",
       .median_seconds = "40"},
      // Only the last five count: the first two are left out.
      {.seconds = {"999", "999", "60", "-5", "1e+06", "50", "45"},
       .rights = {0, 0, 20, 20, 10, 10, 20},
       .mean_percent = "80%",
       .median_seconds = "50"},
  };
  for (const AverageCase& c : cases) {
    book_ = ProgressBook(Keep{.trend = kTrendTests});
    for (std::size_t i = 0; i < c.seconds.size(); ++i) {
      add(on_day(static_cast<int>(i) + 1, c.rights[i], c.seconds[i]));
    }
    const auto rows = cells_of(table());
    ASSERT_EQ(rows.size(), 2u);
    ASSERT_EQ(rows[1].size(), 11u) << rows[1][0];
    EXPECT_EQ(rows[1][8], c.mean_percent);
    EXPECT_EQ(rows[1][9], c.median_seconds);
  }
}

TEST_F(TextTableTest, DrawsTheTrendOfTheLastTwenty) {
  int day = 1;
  for (int right : {0, 2, 4, 10, 14, 18, 19, 20}) add(on_day(day++, right));
  EXPECT_EQ(cells_of(table(false))[1][10], "01257999");
  EXPECT_EQ(cells_of(table(true))[1][10], "▁▂▂▅▆▇██");
  for (int i = 0; i < 20; ++i) add(on_day(day++, 10));
  EXPECT_EQ(cells_of(table(false))[1][10], std::string(20, '5'));
}

TEST_F(TextTableTest, ShowsNamesMadeSafeAndUnknownDatesAsQuestionMarks) {
  add(Block{.name = "Red\x1b[31mAlert", .start = "??? ??? ?? ??:??:?? ????"});
  add(Block{.name = "\xe2\x80\xaeZed\302\233"});  // U+202E and U+009B
  add(Block{.name = "\377\376Bad"});              // 0xFF 0xFE
  const auto rows = cells_of(table());
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[1][0], "Red?[31mAlert");
  EXPECT_EQ(rows[1][3], "?");
  EXPECT_EQ(rows[1][4], "?");
  EXPECT_EQ(rows[2][0], "?Zed?");
  EXPECT_EQ(rows[3][0], "\uFFFD\uFFFDBad");
  EXPECT_EQ(rows[3][2], "1") << "the replacements count one column each";
}

// A book that keeps the kinds of test apart gives each its row, in the
// order of their signs, with the child's name on each.
TEST_F(TextTableTest, ShowsEachKindOfTestInARowOfItsOwn) {
  book_ = ProgressBook(Keep{.trend = kTrendTests, .by_kind = true});
  const char* const signs[] = {"x/", "+-", "+-x/", "x/", "x", "+-"};
  for (int day = 1; day <= 6; ++day) {
    Block block = on_day(day, 10 + day);
    block.signs = signs[day - 1];
    add(block);
  }
  const auto rows = cells_of(table());
  ASSERT_EQ(rows.size(), 5u);
  struct KindRow {
    std::string operations;
    std::string tests;
    std::string first;
    std::string last;
    std::string trend;
  };
  const KindRow expected[] = {
      {.operations = "+-",
       .tests = "2",
       .first = "2026-12-02",
       .last = "2026-12-06",
       .trend = "68"},
      {.operations = "+-x/",
       .tests = "1",
       .first = "2026-12-03",
       .last = "2026-12-03",
       .trend = "6"},
      {.operations = "x", .tests = "1", .first = "2026-12-05", .last = "2026-12-05", .trend = "7"},
      {.operations = "x/",
       .tests = "2",
       .first = "2026-12-01",
       .last = "2026-12-04",
       .trend = "57"},
  };
  for (std::size_t i = 0; i < 4; ++i) {
    const std::vector<std::string>& row = rows[i + 1];
    ASSERT_EQ(row.size(), 11u);
    EXPECT_EQ(row[0], "Ann");
    EXPECT_EQ(row[1], expected[i].operations);
    EXPECT_EQ(row[2], expected[i].tests);
    EXPECT_EQ(row[3], expected[i].first);
    EXPECT_EQ(row[4], expected[i].last);
    EXPECT_EQ(row[10], expected[i].trend);
  }
}

TEST_F(TextTableTest, ListsEveryTestOfAChild) {
  book_ = ProgressBook(Keep{.tests = kAllTests});
  add(on_day(2, 20, "1.23457e+06"));
  add(Block{.start = "??? ??? ?? ??:??:?? ????",
            .limit = "-7",
            .signs = "x/",
            .right = 0,
            .rating = "-2"});
  Block division = on_day(9, 13, "95");
  division.signs = "/";
  add(division);
  // Cells wider than their heads widen their columns.
  add(Block{.start = "Tue Dec 08 10:00:00 12026",
            .limit = "-2147483648",
            .signs = "+-x/",
            .right = 7,
            .rating = "2147483647"});
  const std::vector<const ChildProgress*> children = book_.finish();
  testing_support::StringSink sink;
  OutputBuffer out(sink);
  write_child_listing(children.front()->latest, out);
  ASSERT_TRUE(out.flush());
  EXPECT_EQ(sink.bytes(),
            "Started               Operations        Limit     Right  Percent  Grade      Seconds  "
            "     Score\n"
            "2026-12-02 10:00:00   +-                   10  20 of 20     100%  A+     1.23457e+06  "
            "         6\n"
            "?                     x/                   -7   0 of 20       0%  F              240  "
            "        -2\n"
            "2026-12-09 10:00:00   /                    10  13 of 20      65%  D               95  "
            "         6\n"
            "12026-12-08 10:00:00  +-x/        -2147483648   7 of 20      35%  F              240  "
            "2147483647\n");
}

}  // namespace
}  // namespace progress
