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

  // The tests of one file, read in the order given.
  void add_file(const std::vector<Block>& blocks) {
    book_.start_file();
    for (const Block& block : blocks) add(block);
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

  ProgressBook book_{Keep{.trend = 20, .tests = 20}};
  std::vector<const ChildProgress*> children_;
};

TEST_F(ProgressBookTest, KeepsChildrenApartAndInNameOrder) {
  add_file({at_minute(1, 10, "Zoë"), at_minute(2, 11, "Ann"), at_minute(3, 12, "Zoë"),
            at_minute(4, 13, "Bob"), at_minute(5, 14, "Ann")});
  const std::vector<const ChildProgress*> children = book_.finish();
  ASSERT_EQ(children.size(), 3u);
  EXPECT_EQ(children[0]->name, "Ann");
  EXPECT_EQ(children[1]->name, "Bob");
  EXPECT_EQ(children[2]->name, "Zoë");
  EXPECT_EQ(children[0]->tests, 2u);
  EXPECT_EQ(latest_percents("Ann"), (std::vector<int>{55, 70}));
  EXPECT_EQ(latest_percents("Zoë"), (std::vector<int>{50, 60}));
}

TEST_F(ProgressBookTest, MergesFilesByStartingTime) {
  // As when a teacher's second file holds earlier tests.
  add_file({at_minute(600, 20), at_minute(700, 19)});
  add_file({at_minute(100, 5), at_minute(650, 10)});
  const ChildProgress& ann = child("Ann");
  EXPECT_EQ(ann.first_start.hour, 1);
  EXPECT_EQ(ann.first_start.minute, 40);
  EXPECT_EQ(ann.latest.back().start.hour, 11);
  EXPECT_EQ(ann.latest.back().start.minute, 40);
  EXPECT_EQ(latest_percents("Ann"), (std::vector<int>{25, 100, 50, 95}));
  EXPECT_EQ(ann.best_percent, 100);
}

// When the clocks go back, the hour from 01:00 comes twice: a test at 01:10
// of the second one follows a test at 01:40 of the first in the log.
TEST_F(ProgressBookTest, KeepsTheFilesOwnOrderWhereTheClockGoesBack) {
  add_file({at_minute(60, 1), at_minute(100, 2), at_minute(70, 3), at_minute(80, 4)});
  EXPECT_EQ(latest_percents("Ann"), (std::vector<int>{5, 10, 15, 20}));
  EXPECT_EQ(child("Ann").first_start.minute, 0);
  EXPECT_EQ(child("Ann").latest.back().start.minute, 20);
}

TEST_F(ProgressBookTest, MergesAnotherFileIntoAFileWhoseClockWentBack) {
  // The second and third tests of the first file count as taken at 01:40
  // at the earliest, so the other file's 01:30 test comes before them and
  // its 01:50 test after them.
  add_file({at_minute(100, 1), at_minute(70, 2), at_minute(80, 3)});
  add_file({at_minute(90, 4), at_minute(110, 5)});
  EXPECT_EQ(latest_percents("Ann"), (std::vector<int>{20, 5, 10, 15, 25}));
  EXPECT_EQ(child("Ann").first_start.minute, 30);
}

TEST_F(ProgressBookTest, KeepsTestsOfTheSameSecondInReadingOrder) {
  add_file({at_minute(60, 1), at_minute(60, 2)});
  add_file({at_minute(60, 3)});
  EXPECT_EQ(latest_percents("Ann"), (std::vector<int>{5, 10, 15}));
}

TEST_F(ProgressBookTest, PlacesATestOfUnknownTimeAfterTheTestBeforeItInItsFile) {
  add_file({at_minute(-1, 1),                       // first of its file: before all others
            at_minute(600, 2), at_minute(-1, 3)});  // right after the 10:00 test
  add_file({at_minute(300, 4), at_minute(900, 5), at_minute(-1, 6)});  // right after the 15:00 test
  EXPECT_EQ(latest_percents("Ann"), (std::vector<int>{5, 20, 10, 15, 25, 30}));
  EXPECT_FALSE(child("Ann").first_start.known());
  EXPECT_FALSE(child("Ann").latest.back().start.known());
}

TEST_F(ProgressBookTest, KeepsOnlyTheLatestTestsWhateverTheOrderTheFilesCome) {
  // 200 files of one test each, read in a scrambled order; the window must
  // hold the last 20 by time, earliest first, and the counts must take in
  // all of them.
  std::vector<int> minutes;
  for (int i = 0; i < 200; ++i) minutes.push_back(i * 7);
  std::vector<int> order = minutes;
  for (std::size_t i = 0; i < order.size(); ++i)
    std::swap(order[i], order[(i * 89 + 13) % order.size()]);
  for (int minute : order) add_file({at_minute(minute, minute % 21)});
  std::vector<int> expected;
  for (std::size_t i = minutes.size() - 20; i < minutes.size(); ++i) {
    expected.push_back(minutes[i] % 21 * 5);
  }
  EXPECT_EQ(latest_percents("Ann"), expected);
  std::vector<int> trend;
  for (const TrendTest& test : child("Ann").trend) trend.push_back(test.percent);
  EXPECT_EQ(trend, expected);
  EXPECT_EQ(child("Ann").tests, 200u);
  EXPECT_EQ(child("Ann").first_start.hour, 0);
  EXPECT_EQ(child("Ann").first_start.minute, 0);
}

TEST_F(ProgressBookTest, KeepsTheLatestOfTwoInterleavedFiles) {
  // Two files of 30 tests each, the second a minute after each test of the
  // first: the latest 20 alternate between them.
  std::vector<Block> even;
  std::vector<Block> odd;
  for (int i = 0; i < 30; ++i) {
    even.push_back(at_minute(10 * i, i % 21));
    odd.push_back(at_minute(10 * i + 1, (i + 7) % 21));
  }
  add_file(even);
  add_file(odd);
  std::vector<int> expected;
  for (int i = 20; i < 30; ++i) expected.insert(expected.end(), {i % 21 * 5, (i + 7) % 21 * 5});
  EXPECT_EQ(latest_percents("Ann"), expected);
  EXPECT_EQ(child("Ann").tests, 60u);
}

TEST(ProgressBookTableTest, KeepsOnlyWhatTheTableShows) {
  ProgressBook book(Keep{.trend = 3});
  for (int minute : {5, 1, 4, 2, 3}) {
    book.start_file();
    book.add(*testing_support::read_test(at_minute(minute, minute)));
  }
  const std::vector<const ChildProgress*> children = book.finish();
  ASSERT_EQ(children.size(), 1u);
  EXPECT_TRUE(children[0]->latest.empty());
  EXPECT_EQ(children[0]->trend.capacity(), 3u);
  std::vector<double> percents;
  for (const TrendTest& test : children[0]->trend) percents.push_back(test.percent);
  EXPECT_EQ(percents, (std::vector<double>{15, 20, 25}));
  EXPECT_EQ(children[0]->last_start.minute, 5);
  EXPECT_EQ(children[0]->first_start.minute, 1);
}

TEST(ProgressBookAllTestsTest, KeepsEveryTestInTheOrderOfItsFileAndMergesTheFiles) {
  ProgressBook book(Keep{.tests = kAllTests});
  const Block blocks[] = {
      {.name = "Jo", .start = "Wed Dec 09 09:00:00 2026", .right = 1},
      {.name = "Jo", .start = "Mon Dec 07 09:00:00 2026", .right = 3},
      {.name = "Jo", .start = "??? ??? ?? ??:??:?? ????", .right = 5},
      {.name = "Jo", .start = "Tue Dec 08 09:00:00 2026", .right = 6},
  };
  // One file of 20 rounds of the four tests, in its order: all but the first
  // count as taken on Dec 9 at the earliest. Then each test in a file of its
  // own: a test of unknown time first in its file before all others.
  book.start_file();
  for (int round = 0; round < 20; ++round) {
    for (const Block& block : blocks) book.add(*testing_support::read_test(block));
  }
  for (const Block& block : blocks) {
    book.start_file();
    book.add(*testing_support::read_test(block));
  }
  const std::vector<const ChildProgress*> children = book.finish();
  ASSERT_EQ(children.size(), 1u);
  std::vector<int> rights;
  for (const KeptTest& kept : children[0]->latest) rights.push_back(kept.right);
  std::vector<int> expected = {5, 3, 6};
  for (int round = 0; round < 20; ++round) expected.insert(expected.end(), {1, 3, 5, 6});
  expected.push_back(1);
  EXPECT_EQ(rights, expected);
  EXPECT_EQ(children[0]->tests, 84u);
}

}  // namespace
}  // namespace progress
