#include "progress/seen_tests.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace progress {
namespace {

records::Fingerprint print(std::uint64_t low, std::uint64_t high = 0) {
  return {.low = low, .high = high};
}

TEST(SeenTestsTest, FindsEveryTestReadBeforeWhereverItStood) {
  SeenTests seen;
  EXPECT_FALSE(seen.repeated(print(7)));
  EXPECT_TRUE(seen.repeated(print(7))) << "twice in a row";
  EXPECT_FALSE(seen.repeated(print(7, 1))) << "differs in the high half only";
  EXPECT_FALSE(seen.repeated(print(0)));
  EXPECT_TRUE(seen.repeated(print(0))) << "the fingerprint zero is kept too";
  EXPECT_FALSE(seen.repeated(print(0, 1)));
}

TEST(SeenTestsTest, HoldsManyFingerprintsThatShareTheirLowBits) {
  // Fingerprints equal in their low 16 bits crowd the same slots as the
  // table grows.
  SeenTests seen;
  constexpr std::uint64_t kCount = 5000;
  for (std::uint64_t i = 0; i < kCount; ++i) EXPECT_FALSE(seen.repeated(print(i << 16 | 0x2A)));
  for (std::uint64_t i = 0; i < kCount; ++i) ASSERT_TRUE(seen.repeated(print(i << 16 | 0x2A))) << i;
  EXPECT_FALSE(seen.repeated(print(kCount << 16 | 0x2A)));
  EXPECT_FALSE(seen.repeated(print(0x2B)));
}

}  // namespace
}  // namespace progress
