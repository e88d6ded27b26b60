#include "progress/progress_book.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/progress_files.h"
#include "tests/support/transcript.h"

namespace progress {
namespace {

using Block = testing_support::BlockFacts;

// A test that started `minute` minutes after midnight on Tue Dec 08 2026
// (the placeholder when negative).
Block at_minute(int minute, int right = 18, std::string name = "Ann") {
  if (minute < 0) {
    return Block{.name = std::move(name), .start = "??? ??? ?? ??:??:?? ????", .right = right};
  }
  char start[32];
  std::snprintf(start, sizeof start, "Tue Dec 08 %02d:%02d:00 2026", minute / 60, minute % 60);
  return Block{.name = std::move(name), .start = start, .right = right};
}

class ProgressBookTest : public ::testing::Test {
 protected:
  void add(const Block& block) {
    const std::optional<records::LoggedTest> test = testing_support::read_test(block);
    ASSERT_TRUE(test) << block.text();
    book_.add(*test);
  }

  // The child of that name, once every test is added.
  const ChildProgress& child(std::string_view name) {
    children_ = book_.finish();
    for (const ChildProgress* child : children_) {
      if (child->name == name) return *child;
    }
    ADD_FAILURE() << "no child " << name;
    return *children_.front();
  }

  // The percents of the child's latest tests, earliest first.
  std::vector<int> latest_percents(std::string_view name) {
    std::vector<int> percents;
    for (const KeptTest& test : child(name).latest) percents.push_back(test.percent);
    return percents;
  }

  ProgressBook book_{20};
  std::vector<const ChildProgress*> children_;
};

TEST_F(ProgressBookTest, KeepsChildrenApartAndInNameOrder) {
  add(at_minute(1, 10, "Zoë"));
  add(at_minute(2, 11, "Ann"));
  add(at_minute(3, 12, "Zoë"));
  add(at_minute(4, 13, "Bob"));
  add(at_minute(5, 14, "Ann"));
  const std::vector<const ChildProgress*> children = book_.finish();
  ASSERT_EQ(children.size(), 3u);
  EXPECT_EQ(children[0]->name, "Ann");
  EXPECT_EQ(children[1]->name, "Bob");
  EXPECT_EQ(children[2]->name, "Zoë");
  EXPECT_EQ(children[0]->tests, 2u);
  EXPECT_EQ(latest_percents("Ann"), (std::vector<int>{55, 70}));
  EXPECT_EQ(latest_percents("Zoë"), (std::vector<int>{50, 60}));
}

TEST_F(ProgressBookTest, OrdersTestsByStartingTimeNotByReading) {
  // As when a teacher's second file holds earlier tests.
  add(at_minute(600, 20));
  add(at_minute(700, 19));
  add(at_minute(100, 5));
  add(at_minute(650, 10));
  const ChildProgress& ann = child("Ann");
  EXPECT_EQ(ann.first_start.hour, 1);
  EXPECT_EQ(ann.first_start.minute, 40);
  EXPECT_EQ(ann.latest.back().start.hour, 11);
  EXPECT_EQ(ann.latest.back().start.minute, 40);
  EXPECT_EQ(latest_percents("Ann"), (std::vector<int>{25, 100, 50, 95}));
  EXPECT_EQ(ann.best_percent, 100);
}

TEST_F(ProgressBookTest, KeepsTestsOfTheSameSecondInReadingOrder) {
  add(at_minute(60, 1));
  add(at_minute(60, 2));
  add(at_minute(60, 3));
  EXPECT_EQ(latest_percents("Ann"), (std::vector<int>{5, 10, 15}));
}

TEST_F(ProgressBookTest, PlacesATestOfUnknownTimeAfterTheTestReadBeforeIt) {
  add(at_minute(-1, 1));  // first read: before all others
  add(at_minute(600, 2));
  add(at_minute(-1, 3));  // right after the 10:00 test
  add(at_minute(300, 4));
  add(at_minute(900, 5));
  add(at_minute(-1, 6));  // right after the 15:00 test
  EXPECT_EQ(latest_percents("Ann"), (std::vector<int>{5, 20, 10, 15, 25, 30}));
  EXPECT_FALSE(child("Ann").first_start.known());
  EXPECT_FALSE(child("Ann").latest.back().start.known());
}

TEST_F(ProgressBookTest, KeepsOnlyTheLatestTestsWhateverTheOrderTheyCome) {
  // 200 tests, read in a scrambled order; the window must hold the last 20
  // by time, earliest first, and the counts must take in all of them.
  std::vector<int> minutes;
  for (int i = 0; i < 200; ++i) minutes.push_back(i * 7);
  std::vector<int> order = minutes;
  for (std::size_t i = 0; i < order.size(); ++i)
    std::swap(order[i], order[(i * 89 + 13) % order.size()]);
  for (int minute : order) add(at_minute(minute, minute % 21));
  std::vector<int> expected;
  for (std::size_t i = minutes.size() - 20; i < minutes.size(); ++i) {
    expected.push_back(minutes[i] % 21 * 5);
  }
  EXPECT_EQ(latest_percents("Ann"), expected);
  EXPECT_EQ(child("Ann").tests, 200u);
  EXPECT_EQ(child("Ann").first_start.hour, 0);
  EXPECT_EQ(child("Ann").first_start.minute, 0);
}

TEST(ProgressBookAllTestsTest, KeepsEveryTestInOrder) {
  ProgressBook book(kAllTests);
  const Block blocks[] = {
      {.name = "Jo", .start = "Wed Dec 09 09:00:00 2026", .right = 1},
      {.name = "Jo", .start = "Mon Dec 07 09:00:00 2026", .right = 3},
      {.name = "Jo", .start = "??? ??? ?? ??:??:?? ????", .right = 5},
      {.name = "Jo", .start = "Tue Dec 08 09:00:00 2026", .right = 6},
  };
  for (int round = 0; round < 20; ++round) {
    for (const Block& block : blocks) book.add(*testing_support::read_test(block));
  }
  const std::vector<const ChildProgress*> children = book.finish();
  ASSERT_EQ(children.size(), 1u);
  std::vector<int> rights;
  for (const KeptTest& kept : children[0]->latest) rights.push_back(kept.right);
  // Each test of unknown time follows the Dec 7 one read just before it;
  // tests of the same time keep the order read.
  std::vector<int> expected;
  for (int round = 0; round < 20; ++round) expected.insert(expected.end(), {3, 5});
  expected.insert(expected.end(), 20, 6);
  expected.insert(expected.end(), 20, 1);
  EXPECT_EQ(rights, expected);
  EXPECT_EQ(children[0]->tests, 80u);
}

}  // namespace
}  // namespace progress
