#include "progress/fact_outputs.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "records/answers_reader.h"
#include "tests/support/answers_lines.h"

namespace progress {
namespace {

using Line = testing_support::AnswerLine;

// A book of the answers in `lines`, read as answers.csv is read.
FactBook book_of(const std::vector<Line>& lines) {
  std::string file = testing_support::answers_header();
  for (const Line& line : lines) file += line.text();
  records::AnswersReader reader;
  reader.add(file);
  FactBook book;
  while (const records::Answer* answer = reader.next()) book.add(*answer);
  reader.finish();
  return book;
}

// A product `first` x `second` answered in `milliseconds`, right or not,
// as problem `problem` of a test of multiplication to `limit`.
Line product(std::int64_t first, std::int64_t second, bool right, std::int32_t problem,
             std::uint32_t milliseconds = 1000, std::string name = "Ann", std::int32_t limit = 3) {
  return Line{.name = std::move(name),
              .operations = "multiplication",
              .limit = limit,
              .problem = problem,
              .operation = "multiplication",
              .first = first,
              .second = second,
              .correct = first * second,
              .answer = right ? first * second : first * second + 1,
              .milliseconds = milliseconds};
}

// Names sort as bytes, so "=Bo,1" comes before "Ann".
TEST(FactsCsvTest, OneRowPerFactSortedWithNamesMadeSafe) {
  const FactBook book = book_of({
      product(10, 2, true, 1, 2000, "=Bo,1"), product(2, 3, true, 2, 2000, "=Bo,1"),
      product(2, 3, false, 3, 2150, "=Bo,1"), product(2, 3, true, 4, 2200, "=Bo,1"),
      product(3, 1, false, 5, 1000, "Ann"), Line{.name = "Ann"},  // subtraction 15 - 7
  });
  std::string out;
  append_facts_csv(book, kDefaultFluentMilliseconds, &out);
  EXPECT_EQ(out,
            "name,operation,first,second,tries,right,median_seconds,status\r\n"
            "\"'=Bo,1\",multiplication,2,3,3,2,2.2,fluent\r\n"
            "\"'=Bo,1\",multiplication,10,2,1,1,2.0,learning\r\n"
            "Ann,subtraction,15,7,1,1,2.1,learning\r\n"
            "Ann,multiplication,3,1,1,0,1.0,missed\r\n");
}

TEST(FactsCsvTest, ATryReadFromAnotherFileLaterButTakenEarlierCountsInOrder) {
  // The test at 10:05 was right and quick twice; an older test read after
  // it, all wrong, must not decide the status.
  const FactBook book = book_of({
      Line{.started = "2026-12-08T10:05:00", .problem = 1},
      Line{.started = "2026-12-08T10:05:00", .problem = 2},
      Line{.started = "2026-12-08T10:06:00", .problem = 1},
      Line{.started = "2026-12-08T10:00:00", .problem = 1, .answer = 1},
  });
  std::string out;
  append_facts_csv(book, kDefaultFluentMilliseconds, &out);
  EXPECT_EQ(out.substr(out.find("\r\n") + 2), "Ann,subtraction,15,7,4,3,2.1,fluent\r\n");
}

TEST(FactGridTest, DrawsEachStateWithItsSymbolAndTheRowAsTheAnswer) {
  const FactBook book = book_of({
      product(1, 2, true, 1), product(1, 2, true, 2),  // fluent
      product(2, 2, true, 3, 5000),                    // learning
      product(3, 0, false, 4),                         // missed
      product(25, 2, false, 5),                        // beyond the grid: listed only
  });
  std::string out;
  append_fact_grids(*book.child("Ann"), FactStyle{}, &out);
  EXPECT_EQ(out,
            "Ann: multiplication\n"
            "\n"
            "  0 1 2 3\n"
            "0 . . . .\n"
            "1 . . # .\n"
            "2 . . + .\n"
            "3 x . . .\n"
            "# fluent 1  + learning 1  x missed 2  . never asked 13\n"
            "\n"
            "Most missed  Tries  Right  Median s\n"
            "3 x 0            1      0       1.0\n"
            "25 x 2           1      0       1.0\n"
            "2 x 2            1      1       5.0\n");
}

TEST(FactGridTest, SubtractionAndDivisionRowsAreTheAnswer) {
  const Fact difference{.first = 13, .second = 5, .tries = {}};
  const Fact quotient{.first = 40, .second = 5, .tries = {}};
  const GridPlace place = grid_place(records::Operation::subtraction, difference);
  EXPECT_EQ(place.row, 8);
  EXPECT_EQ(place.column, 5);
  EXPECT_EQ(grid_place(records::Operation::division, quotient).row, 8);
  EXPECT_EQ(fact_text(records::Operation::division, quotient), "40 / 5");
}

TEST(FactGridTest, ColourOnlyWhenAskedAndLargeGridsStopAtTwenty) {
  const FactBook book = book_of({product(12, 20, false, 1, 1000, "Ann", 30)});
  std::string plain;
  append_fact_grids(*book.child("Ann"), FactStyle{}, &plain);
  EXPECT_EQ(plain.find('\x1b'), std::string::npos);
  EXPECT_NE(plain.find("                     1 1 1 1 1 1 1 1 1 1 2\n"), std::string::npos);
  EXPECT_NE(plain.find("12 . . . . . . . . . . . . . . . . . . . . x\n"), std::string::npos);
  EXPECT_NE(plain.find(". never asked 440\n"), std::string::npos);
  std::string coloured;
  append_fact_grids(*book.child("Ann"), FactStyle{.colour = true}, &coloured);
  EXPECT_NE(coloured.find(". \x1b[31mx\x1b[0m\n"), std::string::npos);
}

TEST(FactsTableTest, OneRowPerChildAndOperation) {
  const FactBook book = book_of({
      product(7, 8, false, 1, 1000, "Zoë", 10),
      product(6, 8, true, 2, 1000, "Zoë", 10),
      Line{.name = "Ann", .answer = 3},
  });
  std::string out;
  append_facts_table(book, FactStyle{}, &out);
  EXPECT_EQ(out,
            "Name  Operation       Asked  Fluent  Learning  Missed  Never  Most missed\n"
            "Ann   subtraction         1       0         0       1    120  15 - 7\n"
            "Zoë   multiplication      2       0         1       1    119  7 x 8, 6 x 8\n");
}

}  // namespace
}  // namespace progress
