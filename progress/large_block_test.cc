#include "progress/large_block.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace progress {
namespace {

// Where large blocks exist, a block sits at a multiple of 2 MiB, holds the
// bytes asked for, and keeps them when it grows, several times over.
TEST(LargeBlockTest, KeepsItsBytesAsItGrows) {
  std::size_t bytes = kLargeBlockMinimum + 1;
  auto* block = static_cast<unsigned char*>(map_large_block(bytes));
  if (block == nullptr) GTEST_SKIP() << "no large blocks on this system";
  for (int growth = 0; growth < 4; ++growth) {
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % kLargeBlockMinimum, 0u);
    // Every byte marked with where it is, a pattern no page repeats.
    for (std::size_t at = 0; at < bytes; ++at) block[at] = static_cast<unsigned char>(at % 251);
    const std::size_t grown_bytes = 3 * bytes;
    auto* grown = static_cast<unsigned char*>(grow_large_block(block, bytes, grown_bytes));
    ASSERT_NE(grown, nullptr);
    for (std::size_t at = 0; at < bytes; ++at) {
      ASSERT_EQ(grown[at], static_cast<unsigned char>(at % 251)) << at;
    }
    // The new bytes are zero and may be written up to the last.
    EXPECT_EQ(grown[grown_bytes - 1], 0);
    grown[grown_bytes - 1] = 1;
    block = grown;
    bytes = grown_bytes;
  }
  unmap_large_block(block, bytes);
}

// Faulting a block in ahead of its writes changes none of its bytes:
// those written stay, the others stay zero.
TEST(LargeBlockTest, FillingKeepsItsBytes) {
  const std::size_t bytes = 3 * kLargeBlockMinimum;
  auto* block = static_cast<unsigned char*>(map_large_block(bytes));
  if (block == nullptr) GTEST_SKIP() << "no large blocks on this system";
  block[0] = 7;
  block[kLargeBlockMinimum - 1] = 8;
  fill_large_block(block, 0, kLargeBlockMinimum);
  fill_large_block(block, kLargeBlockMinimum, 3 * kLargeBlockMinimum);
  EXPECT_EQ(block[0], 7);
  EXPECT_EQ(block[kLargeBlockMinimum - 1], 8);
  EXPECT_EQ(block[kLargeBlockMinimum], 0);
  EXPECT_EQ(block[bytes - 1], 0);
  block[bytes - 1] = 9;
  EXPECT_EQ(block[bytes - 1], 9);
  unmap_large_block(block, bytes);
}

TEST(LargeBlockTest, IsNotMadeForLessThanALargePageNorForTooMuch) {
  EXPECT_EQ(map_large_block(0), nullptr);
  EXPECT_EQ(map_large_block(kLargeBlockMinimum - 1), nullptr);
  EXPECT_EQ(map_large_block(SIZE_MAX), nullptr);
  EXPECT_EQ(map_large_block(SIZE_MAX - kLargeBlockMinimum / 2), nullptr);
}

}  // namespace
}  // namespace progress
