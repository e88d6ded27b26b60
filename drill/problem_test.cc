#include "drill/problem.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <string>

#include "drill/random.h"
#include "tests/support/fakes.h"

namespace drill {
namespace {

using records::Operation;

TEST(RandomSource, FirstValuesAfterSeedOne) {
  RandomSource random;
  random.set_seed(1);
  EXPECT_EQ(random.next_value(), 16838);
  EXPECT_EQ(random.next_value(), 5758);
  EXPECT_EQ(random.next_value(), 10113);
}

TEST(RandomSource, UnseededStartsAtOneAndSameSeedRepeats) {
  RandomSource unseeded;
  EXPECT_EQ(unseeded.next_value(), 16838);
  RandomSource a, b;
  a.set_seed(0xDEADBEEF);
  b.set_seed(0xDEADBEEF);
  for (int i = 0; i < 1000; ++i) {
    std::int32_t value = a.next_value();
    ASSERT_EQ(value, b.next_value());
    ASSERT_GE(value, 0);
    ASSERT_LE(value, 32767);
  }
}

TEST(RandomSource, SeedsFromTheClocksLow32Bits) {
  testing_support::FakeClock clock({(std::int64_t{5} << 32) + 1, std::nullopt});
  RandomSource random;
  random.set_seed(99);
  random.seed_from_clock(clock);
  EXPECT_EQ(random.next_value(), 16838);  // state 1, as after set_seed(1)
  // A clock that cannot be read leaves the state alone.
  random.set_seed(1);
  random.seed_from_clock(clock);
  EXPECT_EQ(random.next_value(), 16838);
}

// The addends stay in the range the limit gives, over many draws.
struct RangeCase {
  std::int32_t limit = 0;
  std::int32_t highest = 0;  // addends lie in 0..highest
};

void PrintTo(const RangeCase& c, std::ostream* os) { *os << "limit " << c.limit; }

class AddendRangeTest : public ::testing::TestWithParam<RangeCase> {};

TEST_P(AddendRangeTest, AddendsStayInRangeAndReachBothEnds) {
  const RangeCase& c = GetParam();
  RandomSource random;
  random.set_seed(12345);
  Problem problem(0, c.limit, 0, c.limit, 1, random);
  bool saw_zero = false, saw_highest = false;
  for (int i = 0; i < 200000; ++i, problem.next()) {
    for (std::int32_t addend : {problem.first_number(), problem.second_number()}) {
      ASSERT_GE(addend, 0);
      ASSERT_LE(addend, c.highest);
      saw_zero |= addend == 0;
      saw_highest |= addend == c.highest;
    }
    const std::int32_t a = problem.first_number(), b = problem.second_number();
    ASSERT_EQ(problem.answer(Operation::addition), a + b);
    ASSERT_EQ(problem.answer(Operation::subtraction), a);
    ASSERT_EQ(problem.answer(Operation::multiplication), a * b);
  }
  EXPECT_TRUE(saw_zero);
  EXPECT_TRUE(saw_highest);
}

INSTANTIATE_TEST_SUITE_P(Limits, AddendRangeTest,
                         ::testing::Values(RangeCase{.limit = 0, .highest = 0},
                                           RangeCase{.limit = 9, .highest = 9},
                                           RangeCase{.limit = -5, .highest = 3},
                                           RangeCase{.limit = -2, .highest = 0},
                                           RangeCase{.limit = 32767, .highest = 32767},
                                           RangeCase{.limit = 100000, .highest = 32767},
                                           RangeCase{.limit = INT_MAX, .highest = 32767},
                                           RangeCase{.limit = INT_MIN, .highest = 32767}));

// A range of all 2^32 values (what a limit of -1 gives) takes the drawn value
// itself instead of dividing by zero. The seed 1 draws 16838, 5758, then
// 10113: odd, so with the swap factor 1 the addends trade places; with an
// even swap factor the product is always even and they never do.
TEST(Problem, FullRangeTakesDrawnValueAndSwapFactorDecidesWithTheProduct) {
  for (std::int32_t swap_factor : {1, 2}) {
    RandomSource random;
    random.set_seed(1);
    Problem problem(0, -1, 0, -1, swap_factor, random);
    const bool swapped = swap_factor == 1;
    EXPECT_EQ(problem.first_number(), swapped ? 5758 : 16838) << swap_factor;
    EXPECT_EQ(problem.second_number(), swapped ? 16838 : 5758) << swap_factor;
  }
}

TEST(Problem, EveryGenerationDrawsExactlyThreeValues) {
  RandomSource random, reference;
  random.set_seed(777);
  reference.set_seed(777);
  Problem problem(0, 10, 0, 10, 1, random);
  for (int generation = 0; generation < 50; ++generation) {
    std::int32_t r1 = reference.next_value();
    std::int32_t r2 = reference.next_value();
    std::int32_t r3 = reference.next_value();
    std::int32_t first = r1 % 11, second = r2 % 11;
    if (r3 % 2 != 0) std::swap(first, second);
    ASSERT_EQ(problem.first_number(), first);
    ASSERT_EQ(problem.second_number(), second);
    problem.next();
  }
}

TEST(Problem, PromptsRightAlignNumbersInTwoPlaces) {
  RandomSource random;
  random.set_seed(4242);
  // Division's range, 1 to the largest that a draw gives, makes the widest
  // products.
  Problem problem(1, 32768, 1, 32768, 1, random);
  for (int i = 0; i < 2000; ++i, problem.next()) {
    const std::int32_t a = problem.first_number(), b = problem.second_number();
    char expected[4][32];
    std::snprintf(expected[0], sizeof expected[0], "%2d + %2d = ", a, b);
    std::snprintf(expected[1], sizeof expected[1], "%2d - %2d = ", a + b, b);
    std::snprintf(expected[2], sizeof expected[2], "%2d x %2d = ", a, b);
    std::snprintf(expected[3], sizeof expected[3], "%2d / %2d = ", a * b, b);
    const Operation operations[] = {Operation::addition, Operation::subtraction,
                                    Operation::multiplication, Operation::division};
    for (int kind = 0; kind < 4; ++kind) {
      ASSERT_EQ(problem.prompt(operations[kind]).view(), expected[kind]);
    }
    ASSERT_EQ(problem.answer(Operation::multiplication), a * b);
    ASSERT_EQ(problem.answer(Operation::division), a);
    ASSERT_EQ(problem.answer(Operation::division) * b, a * b);
  }
}

TEST(Problem, PromptExamples) {
  RandomSource random;
  random.set_seed(1);
  Problem zero(0, 0, 0, 0, 1, random);
  EXPECT_EQ(zero.prompt(Operation::addition).view(), " 0 +  0 = ");
  EXPECT_EQ(zero.prompt(Operation::subtraction).view(), " 0 -  0 = ");
  EXPECT_EQ(zero.prompt(Operation::multiplication).view(), " 0 x  0 = ");
  // Seed 1 draws 16838, 5758, 10113: with limit 12 the numbers are
  // 16838 % 13 = 3 and 5758 % 13 = 12, then swapped (10113 is odd).
  random.set_seed(1);
  Problem problem(0, 12, 0, 12, 1, random);
  EXPECT_EQ(problem.prompt(Operation::addition).view(), "12 +  3 = ");
  EXPECT_EQ(problem.prompt(Operation::subtraction).view(), "15 -  3 = ");
  EXPECT_EQ(problem.prompt(Operation::multiplication).view(), "12 x  3 = ");
  EXPECT_EQ(problem.prompt(Operation::division).view(), "36 /  3 = ");
  EXPECT_EQ(problem.answer(Operation::division), 12);
  // The widest prompts fit.
  Problem wide(32767, 32767, 32767, 32767, 1, random);
  EXPECT_EQ(wide.prompt(Operation::subtraction).view(), "65534 - 32767 = ");
  Problem widest(32768, 32768, 32768, 32768, 1, random);
  EXPECT_EQ(widest.prompt(Operation::division).view(), "1073741824 / 32768 = ");
}

}  // namespace
}  // namespace drill
