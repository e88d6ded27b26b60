#include "drill/problem.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <string>

#include "drill/random.h"
#include "tests/support/fakes.h"

namespace drill {
namespace {

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
    for (std::int32_t addend : {problem.first_addend(), problem.second_addend()}) {
      ASSERT_GE(addend, 0);
      ASSERT_LE(addend, c.highest);
      saw_zero |= addend == 0;
      saw_highest |= addend == c.highest;
    }
    ASSERT_EQ(problem.difference(), problem.first_addend());
    ASSERT_EQ(problem.sum(), problem.first_addend() + problem.second_addend());
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
    EXPECT_EQ(problem.first_addend(), swapped ? 5758 : 16838) << swap_factor;
    EXPECT_EQ(problem.second_addend(), swapped ? 16838 : 5758) << swap_factor;
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
    ASSERT_EQ(problem.first_addend(), first);
    ASSERT_EQ(problem.second_addend(), second);
    problem.next();
  }
}

TEST(Problem, PromptsRightAlignAddendsInTwoPlaces) {
  RandomSource random;
  random.set_seed(4242);
  Problem problem(0, 32767, 0, 32767, 1, random);
  for (int i = 0; i < 2000; ++i, problem.next()) {
    char sum[32], difference[32];
    std::snprintf(sum, sizeof sum, "%2d + %2d = ", problem.first_addend(), problem.second_addend());
    std::snprintf(difference, sizeof difference, "%2d - %2d = ", problem.sum(),
                  problem.second_addend());
    ASSERT_EQ(problem.sum_prompt(), sum);
    ASSERT_EQ(problem.difference_prompt(), difference);
  }
}

TEST(Problem, PromptExamples) {
  RandomSource random;
  random.set_seed(1);
  Problem zero(0, 0, 0, 0, 1, random);
  EXPECT_EQ(zero.sum_prompt(), " 0 +  0 = ");
  EXPECT_EQ(zero.difference_prompt(), " 0 -  0 = ");
  // Seed 1 draws 16838, 5758, 10113: with limit 12 the addends are
  // 16838 % 13 = 3 and 5758 % 13 = 12, then swapped (10113 is odd).
  random.set_seed(1);
  Problem problem(0, 12, 0, 12, 1, random);
  EXPECT_EQ(problem.sum_prompt(), "12 +  3 = ");
  EXPECT_EQ(problem.difference_prompt(), "15 -  3 = ");
  // The widest prompt fits: "65534 - 32767 = ".
  Problem wide(32767, 32767, 32767, 32767, 1, random);
  EXPECT_EQ(wide.difference_prompt(), "65534 - 32767 = ");
}

}  // namespace
}  // namespace drill
