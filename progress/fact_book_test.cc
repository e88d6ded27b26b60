#include "progress/fact_book.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace progress {
namespace {

using records::Operation;

// One try: right or not, in milliseconds.
struct Attempt {
  bool right = true;
  std::uint32_t milliseconds = 1000;
};

FactTries tries_of(std::initializer_list<Attempt> attempts) {
  FactTries tries;
  std::int64_t place = 0;
  for (const Attempt& attempt : attempts) {
    tries.add(Try{.place = ++place, .milliseconds = attempt.milliseconds, .right = attempt.right});
  }
  return tries;
}

struct StatusCase {
  const char* what;
  std::initializer_list<Attempt> attempts;
  FactStatus status;
};

TEST(FactStatusTest, FollowsTheLastThreeTries) {
  const StatusCase cases[] = {
      {.what = "2 of 3 right at exactly 3000 ms",
       .attempts = {{.right = false}, {.milliseconds = 3000}, {.milliseconds = 3000}},
       .status = FactStatus::fluent},
      {.what = "one of two right at 3001 ms",
       .attempts = {{.milliseconds = 3000}, {.milliseconds = 3001}, {.right = false}},
       .status = FactStatus::learning},
      {.what = "1 of 3 right",
       .attempts = {{.right = false}, {.right = false}, {}},
       .status = FactStatus::learning},
      {.what = "none of 3 right",
       .attempts = {{}, {}, {.right = false}, {.right = false}, {.right = false}},
       .status = FactStatus::missed},
      {.what = "older right tries fall out",
       .attempts = {{}, {}, {}, {.right = false}, {.right = false}, {}},
       .status = FactStatus::learning},
      {.what = "one quick right try alone", .attempts = {{}}, .status = FactStatus::learning},
      {.what = "two quick right tries", .attempts = {{}, {}}, .status = FactStatus::fluent},
      {.what = "one wrong try", .attempts = {{.right = false}}, .status = FactStatus::missed},
      {.what = "no try", .attempts = {}, .status = FactStatus::missed},
  };
  for (const StatusCase& c : cases) {
    EXPECT_EQ(fact_status(tries_of(c.attempts), kDefaultFluentMilliseconds), c.status) << c.what;
  }
  // The fluency time is a parameter: 3001 ms is within 4 seconds.
  EXPECT_EQ(fact_status(tries_of({{.milliseconds = 3001}, {.milliseconds = 3001}}), 4000),
            FactStatus::fluent);
}

TEST(FactTriesTest, KeepsTheLatestTriesByPlaceWhateverTheOrderRead) {
  FactTries tries;
  for (const std::int64_t place : {5, 1, 9, 3, 7, 2}) {
    tries.add(Try{.place = place,
                  .milliseconds = static_cast<std::uint32_t>(place * 100),
                  .right = place % 2 == 1});
  }
  ASSERT_EQ(tries.kept, 3);
  EXPECT_EQ(tries.last[0].place, 5);
  EXPECT_EQ(tries.last[1].place, 7);
  EXPECT_EQ(tries.last[2].place, 9);
  EXPECT_EQ(tries.tries, 6u);
  EXPECT_EQ(tries.right, 5u);
  EXPECT_EQ(tries.wrong(), 1u);
  EXPECT_EQ(tries.median_milliseconds(), 700);
}

// Tries mostly come in time order, once three are kept; tries of one place
// keep the order read, wherever they land.
TEST(FactTriesTest, KeepsTheLatestThreeInTimeOrderAndTiesAsRead) {
  struct Case {
    const char* what;
    std::vector<std::int64_t> places;  // each try's milliseconds is its index
    std::vector<std::uint32_t> kept;   // the milliseconds of the tries kept
  };
  const Case cases[] = {
      {.what = "in order", .places = {1, 2, 3, 4, 5}, .kept = {2, 3, 4}},
      {.what = "ties after three", .places = {1, 2, 3, 3, 3}, .kept = {2, 3, 4}},
      {.what = "a tie with the earliest kept", .places = {1, 2, 3, 2}, .kept = {1, 3, 2}},
      {.what = "earlier than all kept", .places = {4, 5, 6, 1}, .kept = {0, 1, 2}},
      {.what = "between the kept, then in order", .places = {4, 6, 8, 5, 9}, .kept = {1, 2, 4}},
      {.what = "between the kept", .places = {4, 6, 8, 7}, .kept = {1, 3, 2}},
  };
  for (const Case& c : cases) {
    FactTries tries;
    for (std::size_t index = 0; index < c.places.size(); ++index) {
      tries.add(Try{.place = c.places[index],
                    .milliseconds = static_cast<std::uint32_t>(index),
                    .right = true});
    }
    std::vector<std::uint32_t> kept;
    for (int at = 0; at < tries.kept; ++at) kept.push_back(tries.last[at].milliseconds);
    EXPECT_EQ(kept, c.kept) << c.what;
    EXPECT_EQ(tries.tries, c.places.size()) << c.what;
  }
}

TEST(FactTriesTest, MedianOfTwoIsTheirMean) {
  EXPECT_EQ(tries_of({{.milliseconds = 1000}, {.milliseconds = 2500}}).median_milliseconds(), 1750);
  EXPECT_EQ(tries_of({{.milliseconds = 900}}).median_milliseconds(), 900);
}

// A sound answer: its right answer is the result of its two numbers.
records::Answer answer_of(std::string_view name, Operation operation, std::int64_t first,
                          std::int64_t second, bool right, std::int64_t started_key = 0) {
  const std::int64_t results[] = {first + second, first - second, first * second,
                                  second == 0 ? 0 : first / second};
  return records::Answer{.started = "2026-12-08T10:00:00",
                         .started_key = started_key,
                         .name = name,
                         .operations = records::Operations::only(operation),
                         .limit = 10,
                         .problem = 1,
                         .operation = operation,
                         .first = first,
                         .second = second,
                         .correct = results[static_cast<int>(operation)],
                         .answer = results[static_cast<int>(operation)] + (right ? 0 : 1),
                         .right = right,
                         .milliseconds = 1000,
                         .line = 1,
                         .fingerprint = 0};
}

TEST(FactBookTest, AFactIsAChildAnOperationAndTwoNumbers) {
  FactBook book;
  book.add(answer_of("Bo", Operation::multiplication, 7, 8, false, 1));
  book.add(answer_of("Ann", Operation::multiplication, 7, 8, true, 2));
  book.add(answer_of("Ann", Operation::multiplication, 8, 7, true, 3));
  book.add(answer_of("Ann", Operation::division, 56, 8, true, 4));
  book.add(answer_of("Ann", Operation::multiplication, 7, 8, true, 5));
  const std::vector<const ChildFacts*> children = book.children();
  ASSERT_EQ(children.size(), 2u);
  EXPECT_EQ(children[0]->name, "Ann");
  const OperationFacts& products = children[0]->operations[2];
  ASSERT_EQ(products.facts.size(), 2u);
  EXPECT_EQ(products.facts[0].tries.tries, 2u);
  EXPECT_EQ(products.low, 0);
  EXPECT_EQ(children[0]->operations[3].low, 1);
  EXPECT_EQ(book.child("Bo")->operations[2].facts[0].tries.right, 0u);
  EXPECT_EQ(book.child("Cy"), nullptr);
}

// Facts are found again however many there are, each with its own tries,
// in the order first asked: those of the grid's cells by their cell, the
// others in a table that grows as they come. For '-' and '/' the cell's row
// is the right answer: "13 - 5" and "40 / 5" sit in row 8.
TEST(FactBookTest, FindsEveryFactAgainAmongMany) {
  constexpr int kSide = 60;
  for (const Operation operation : {Operation::addition, Operation::subtraction,
                                    Operation::multiplication, Operation::division}) {
    // The fact of row `row` (from -kSide / 2) and column `column` (from 0,
    // or 1 for division).
    const auto numbers = [operation](int row, int column) {
      switch (operation) {
        case Operation::subtraction:
          return std::pair<std::int64_t, std::int64_t>{row + column, column};
        case Operation::division:
          return std::pair<std::int64_t, std::int64_t>{row * (column + 1), column + 1};
        default:
          return std::pair<std::int64_t, std::int64_t>{row, column};
      }
    };
    FactBook book;
    for (int round = 0; round < 2; ++round) {
      for (int row = -kSide / 2; row < kSide / 2; ++row) {
        for (int column = 0; column < kSide; ++column) {
          const auto [first, second] = numbers(row, column);
          book.add(answer_of("Ann", operation, first, second, round == 1,
                             round * kSide * kSide + (row + kSide / 2) * kSide + column));
        }
      }
    }
    const OperationFacts& facts = book.child("Ann")->operations[static_cast<int>(operation)];
    ASSERT_EQ(facts.facts.size(), static_cast<std::size_t>(kSide * kSide));
    for (std::size_t place = 0; place < facts.facts.size(); ++place) {
      const Fact& fact = facts.facts[place];
      const auto [first, second] =
          numbers(static_cast<int>(place) / kSide - kSide / 2, static_cast<int>(place) % kSide);
      EXPECT_EQ(fact.first, first) << place;
      EXPECT_EQ(fact.second, second) << place;
      EXPECT_EQ(fact.tries.tries, 2u) << place;
      EXPECT_EQ(fact.tries.right, 1u) << place;
    }
  }
}

TEST(MostMissedTest, OrdersByRecentRightThenWrongThenSlowest) {
  OperationFacts facts;
  const auto fact = [](std::int64_t first, std::initializer_list<Attempt> attempts) {
    return Fact{.first = first, .second = 1, .tries = tries_of(attempts)};
  };
  facts.facts = {
      fact(1, {{.right = false}, {.milliseconds = 5000}, {.milliseconds = 5000}}),  // 2 right, slow
      fact(2, {{.right = false}, {.right = false}, {}}),                    // 1 right, 2 wrong
      fact(3, {{.right = false}, {.right = false}, {.right = false}, {}}),  // 1 right, 3 wrong
      fact(4, {{.right = false, .milliseconds = 9000}}),                    // 0 right, slow
      fact(5, {{.right = false, .milliseconds = 2000}}),                    // 0 right, quick
      fact(6, {{}, {}, {}}),                                                // fluent: never listed
  };
  std::vector<std::int64_t> order;
  for (const Fact* missed : most_missed(facts, 10, kDefaultFluentMilliseconds)) {
    order.push_back(missed->first);
  }
  EXPECT_EQ(order, (std::vector<std::int64_t>{4, 5, 3, 2, 1}));
  EXPECT_EQ(most_missed(facts, 2, kDefaultFluentMilliseconds).size(), 2u);
}

}  // namespace
}  // namespace progress
