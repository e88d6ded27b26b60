#include "progress/growing_array.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>

namespace progress {
namespace {

struct Value {
  std::uint64_t index = 0;
  std::uint64_t square = 0;
};

GrowingArray<Value> first(std::uint64_t count) {
  GrowingArray<Value> values;
  for (std::uint64_t i = 0; i < count; ++i) values.push_back(Value{.index = i, .square = i * i});
  return values;
}

bool holds_first(const GrowingArray<Value>& values, std::uint64_t count) {
  if (values.size() != count) return false;
  for (std::uint64_t i = 0; i < count; ++i) {
    if (values[i].index != i || values[i].square != i * i) return false;
  }
  return true;
}

TEST(GrowingArrayTest, KeepsEveryValueInOrderAsItGrowsPastTheSizeMappedApart) {
  // 400,000 values of 16 bytes: the block outgrows the C library's heap and
  // is moved by remapping, several times over, and past 2 MiB each larger
  // block is marked for huge pages as it grows.
  const GrowingArray<Value> values = first(400'000);
  EXPECT_TRUE(holds_first(values, 400'000));
  EXPECT_GE(values.capacity(), values.size());
  EXPECT_EQ(values[0].index, 0u);
  EXPECT_EQ(values.back().index, 399'999u);
  EXPECT_EQ(values.end() - values.begin(), 400'000);
}

TEST(GrowingArrayTest, PushesItsOwnValueWhenFull) {
  GrowingArray<Value> values = first(4);
  ASSERT_EQ(values.size(), values.capacity());
  values.push_back(values[1]);
  values.push_back(values.back());
  ASSERT_EQ(values.size(), 6u);
  EXPECT_EQ(values[4].square, 1u);
  EXPECT_EQ(values[5].square, 1u);
}

TEST(GrowingArrayTest, CopiesAreIndependentAndMovesEmptyTheSource) {
  GrowingArray<Value> original = first(1'000);
  GrowingArray<Value> copy = original;
  copy[0].square = 7;
  copy.push_back(Value{.index = 1'000, .square = 1'000'000});
  EXPECT_TRUE(holds_first(original, 1'000));
  EXPECT_EQ(copy[0].square, 7u);
  EXPECT_EQ(copy.size(), 1'001u);

  GrowingArray<Value> moved = std::move(original);
  EXPECT_TRUE(holds_first(moved, 1'000));
  EXPECT_TRUE(original.empty());  // NOLINT(bugprone-use-after-move): what a move leaves
  EXPECT_EQ(original.data(), nullptr);

  GrowingArray<Value> assigned = first(3);
  assigned = moved;
  EXPECT_TRUE(holds_first(assigned, 1'000));
  assigned = first(0);
  EXPECT_TRUE(assigned.empty());
  EXPECT_TRUE(holds_first(moved, 1'000));
}

TEST(GrowingArrayTest, ReservesWithoutChangingTheValues) {
  GrowingArray<Value> values = first(10);
  values.reserve(5);
  EXPECT_GE(values.capacity(), 10u);
  values.reserve(50'000);
  EXPECT_EQ(values.capacity(), 50'000u);
  EXPECT_TRUE(holds_first(values, 10));
}

}  // namespace
}  // namespace progress
