#include "records/block_writer.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/transcript.h"

namespace records {
namespace {

using testing_support::Report;

constexpr text::CivilTime kTen = {
    .year = 2026, .month = 12, .day = 8, .hour = 10, .minute = 0, .second = 0, .weekday = 2};
constexpr text::CivilTime kFourPastTen = {
    .year = 2026, .month = 12, .day = 8, .hour = 10, .minute = 4, .second = 0, .weekday = 2};

// Ann's test: limit 10, 18 right from 10:00:00 to 10:04:00.
FinishedTest anns_test() {
  return {.name = "Ann",
          .addend_limit = 10,
          .right_count = 18,
          .elapsed = 240,
          .start = kTen,
          .end = kFourPastTen};
}

TEST(TestFacts, AreComputedOnceFromTheFinishedTest) {
  const TestFacts facts = test_facts(anns_test());
  EXPECT_EQ(facts.name, "Ann");
  EXPECT_EQ(facts.addend_limit, 10);
  EXPECT_EQ(facts.right_count, 18);
  EXPECT_EQ(facts.problem_count, 20);
  EXPECT_EQ(facts.percent, 90);
  EXPECT_EQ(facts.grade, "A");
  EXPECT_EQ(facts.elapsed, 240.0);
  EXPECT_EQ(facts.score, 6);  // 18 × 90 / 240 = 6.75
  EXPECT_EQ(facts.start.view(), "Tue Dec 08 10:00:00 2026");
  EXPECT_EQ(facts.end.view(), "Tue Dec 08 10:04:00 2026");
}

// The percent is a multiple of five for twenty problems; each grade that
// twenty problems can give.
TEST(TestFacts, PercentAndGradeOfEveryKindOfRightCount) {
  struct Case {
    std::int32_t right = 0;
    std::int32_t percent = 0;
    const char* grade = "";
  };
  const Case cases[] = {
      {.right = 20, .percent = 100, .grade = "A+"}, {.right = 19, .percent = 95, .grade = "A"},
      {.right = 18, .percent = 90, .grade = "A"},   {.right = 17, .percent = 85, .grade = "B"},
      {.right = 16, .percent = 80, .grade = "B"},   {.right = 15, .percent = 75, .grade = "C"},
      {.right = 14, .percent = 70, .grade = "C"},   {.right = 13, .percent = 65, .grade = "D"},
      {.right = 12, .percent = 60, .grade = "D"},   {.right = 11, .percent = 55, .grade = "F"},
      {.right = 0, .percent = 0, .grade = "F"},
  };
  for (const Case& c : cases) {
    FinishedTest test = anns_test();
    test.right_count = c.right;
    const TestFacts facts = test_facts(test);
    EXPECT_EQ(facts.percent, c.percent) << c.right;
    EXPECT_EQ(facts.grade, c.grade) << c.right;
  }
}

TEST(TestFacts, NameEndsAtItsFirstNulAndUnknownTimesShowThePlaceholder) {
  FinishedTest test = anns_test();
  test.name = std::string_view("Bo\0b", 4);
  test.start = std::nullopt;
  test.end = std::nullopt;
  const TestFacts facts = test_facts(test);
  EXPECT_EQ(facts.name, "Bo");
  EXPECT_EQ(facts.start.view(), testing_support::kNoTime);
  EXPECT_EQ(facts.end.view(), testing_support::kNoTime);
}

TEST(PerformanceScore, DividesByElapsedButNeverByLessThanOne) {
  struct Case {
    std::int32_t right = 0;
    std::int32_t percent = 0;
    double elapsed = 0;
    std::int32_t score = 0;
  };
  const Case cases[] = {
      {.right = 20, .percent = 100, .elapsed = 100, .score = 20},    // 2000 / 100
      {.right = 18, .percent = 90, .elapsed = 240, .score = 6},      // 1620 / 240 = 6.75
      {.right = 0, .percent = 0, .elapsed = 50, .score = 0},         //
      {.right = 20, .percent = 100, .elapsed = 0, .score = 2000},    // the same second: divisor 1
      {.right = 20, .percent = 100, .elapsed = -30, .score = 2000},  // clock set back: divisor 1
      {.right = 20, .percent = 100, .elapsed = 0.5, .score = 2000},  //
      {.right = 19, .percent = 95, .elapsed = 7, .score = 257},      // 1805 / 7 = 257.86
      {.right = 1, .percent = 5, .elapsed = 1e6, .score = 0},        //
  };
  for (const Case& c : cases) {
    EXPECT_EQ(performance_score(c.right, c.percent, c.elapsed), c.score) << c.elapsed;
  }
}

// The block of given facts against the tests' model of the block, laid out
// from the facts as literals.
struct BlockCase {
  const char* title = "";
  TestFacts facts;
  Report expected;
};

void PrintTo(const BlockCase& c, std::ostream* os) { *os << c.title; }

class WriteBlockTest : public ::testing::TestWithParam<BlockCase> {};

TEST_P(WriteBlockTest, LaysOutTheNineLinesWithCrLf) {
  const BlockText block = write_block(GetParam().facts);
  EXPECT_EQ(block.view(), testing_support::log_block(GetParam().expected));
}

// The facts of Ann's test with `change` made.
template <typename Change>
TestFacts anns_facts(Change change) {
  FinishedTest test = anns_test();
  change(test);
  return test_facts(test);
}

// Ann's report with `change` made.
template <typename Change>
Report anns_report(Change change) {
  Report report{.name = "Ann",
                .ending = "Tue Dec 08 10:04:00 2026",
                .starting = "Tue Dec 08 10:00:00 2026",
                .elapsed = "240",
                .limit = 10,
                .right = 18,
                .percent = 90,
                .grade = "A",
                .score = 6};
  change(report);
  return report;
}

const std::string kLongestName(255, 'z');

// `report` with the description and limit line of the operations `signs`.
void with_signs(Report& report, std::string_view signs) {
  const Report model = testing_support::make_report("", 0, 0, 0, 0, signs);
  report.description = model.description;
  report.limits = model.limits;
  report.low = model.low;
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, WriteBlockTest,
    ::testing::Values(BlockCase{.title = "Ann's test",
                                .facts = anns_facts([](FinishedTest&) {}),
                                .expected = anns_report([](Report&) {})},
                      BlockCase{.title = "elapsed 0",
                                .facts = anns_facts([](FinishedTest& t) { t.elapsed = 0; }),
                                .expected = anns_report([](Report& r) {
                                  r.elapsed = "0";
                                  r.score = 1620;
                                })},
                      BlockCase{.title = "elapsed negative",
                                .facts = anns_facts([](FinishedTest& t) { t.elapsed = -5; }),
                                .expected = anns_report([](Report& r) {
                                  r.elapsed = "-5";
                                  r.score = 1620;
                                })},
                      BlockCase{.title = "elapsed one million",
                                .facts = anns_facts([](FinishedTest& t) { t.elapsed = 1e6; }),
                                .expected = anns_report([](Report& r) {
                                  r.elapsed = "1e+06";
                                  r.score = 0;
                                })},
                      BlockCase{.title = "elapsed above a million",
                                .facts = anns_facts([](FinishedTest& t) { t.elapsed = 1234567; }),
                                .expected = anns_report([](Report& r) {
                                  r.elapsed = "1.23457e+06";
                                  r.score = 0;
                                })},
                      BlockCase{.title = "the longest name",
                                .facts = anns_facts([](FinishedTest& t) { t.name = kLongestName; }),
                                .expected = anns_report([](Report& r) { r.name = kLongestName; })},
                      BlockCase{.title = "unknown times",
                                .facts = anns_facts([](FinishedTest& t) {
                                  t.start = std::nullopt;
                                  t.end = std::nullopt;
                                  t.elapsed = 0;
                                }),
                                .expected = anns_report([](Report& r) {
                                  r.starting = r.ending = testing_support::kNoTime;
                                  r.elapsed = "0";
                                  r.score = 1620;
                                })},
                      BlockCase{.title = "negative limit, none right",
                                .facts = anns_facts([](FinishedTest& t) {
                                  t.addend_limit = -2147483647 - 1;
                                  t.right_count = 0;
                                }),
                                .expected = anns_report([](Report& r) {
                                  r.limit = -2147483647 - 1;
                                  r.right = 0;
                                  r.percent = 0;
                                  r.grade = "F";
                                  r.score = 0;
                                })},
                      BlockCase{.title = "multiplication only",
                                .facts = anns_facts([](FinishedTest& t) {
                                  t.operations = Operations::only(Operation::multiplication);
                                }),
                                .expected = anns_report([](Report& r) { with_signs(r, "x"); })},
                      BlockCase{
                          .title = "all four operations",
                          .facts = anns_facts([](FinishedTest& t) {
                            t.operations = *read_signs("+-x/").operations;
                          }),
                          .expected = anns_report([](Report& r) { with_signs(r, "+-x/"); })}));

}  // namespace
}  // namespace records
