#include "progress/seen_tests.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace progress {
namespace {

TEST(SeenTestsTest, FindsOnlyTestsOfEarlierFiles) {
  SeenTests seen;
  seen.start_file(false);
  EXPECT_FALSE(seen.repeated(7));
  EXPECT_FALSE(seen.repeated(7)) << "the same file: not a duplicate";
  EXPECT_FALSE(seen.repeated(0));
  seen.start_file(false);
  EXPECT_TRUE(seen.repeated(7));
  EXPECT_TRUE(seen.repeated(0));
  EXPECT_FALSE(seen.repeated(8));
  seen.start_file(true);
  EXPECT_TRUE(seen.repeated(8)) << "from the file before the one before";
  EXPECT_FALSE(seen.repeated(9));
}

TEST(SeenTestsTest, RemembersNothingOfTheLastFile) {
  SeenTests seen;
  seen.start_file(true);
  EXPECT_FALSE(seen.repeated(5));
  seen.start_file(true);
  EXPECT_FALSE(seen.repeated(5));
}

TEST(SeenTestsTest, HoldsManyFingerprintsThatShareTheirLowBits) {
  // Fingerprints equal in their low 16 bits crowd the same slots as the
  // table grows.
  SeenTests seen;
  seen.start_file(false);
  constexpr std::uint64_t kCount = 5000;
  for (std::uint64_t i = 0; i < kCount; ++i) EXPECT_FALSE(seen.repeated(i << 16 | 0x2A));
  seen.start_file(true);
  for (std::uint64_t i = 0; i < kCount; ++i) ASSERT_TRUE(seen.repeated(i << 16 | 0x2A)) << i;
  EXPECT_FALSE(seen.repeated(kCount << 16 | 0x2A));
  EXPECT_FALSE(seen.repeated(0x2B));
}

}  // namespace
}  // namespace progress
