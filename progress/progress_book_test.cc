#include "progress/progress_book.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "progress/recent_tests.h"
#include "progress/summary_table.h"
#include "progress/trend.h"
#include "tests/support/transcript.h"

namespace progress {
namespace {

using Block = testing_support::BlockFacts;

// A test that started `minute` minutes after midnight on Tue Dec 08 2026
// (the placeholder when negative).
Block at_minute(int minute, int right = 18, std::string name = "Ann") {
  char start[32];
  if (minute < 0) {
    return Block{.name = std::move(name), .start = "??? ??? ?? ??:??:?? ????", .right = right};
  }
  std::snprintf(start, sizeof start, "Tue Dec 08 %02d:%02d:00 2026", minute / 60, minute % 60);
  return Block{.name = std::move(name), .start = start, .right = right};
}

class ProgressBookTest : public ::testing::Test {
 protected:
  void add(const Block& block) {
    const std::string text = block.text();
    ASSERT_EQ(read_block(text, test_.get()), text.size());
    book_.add(*test_);
  }

  const ChildProgress& child(std::string_view name) {
    for (const ChildProgress* child : book_.children()) {
      if (child->name == name) return *child;
    }
    ADD_FAILURE() << "no child " << name;
    return *book_.children().front();
  }

  // The percents of the child's kept tests, earliest first.
  std::vector<int> recent_percents(std::string_view name) {
    std::vector<int> percents;
    const RecentTests& recent = child(name).recent;
    for (std::size_t i = 0; i < recent.size(); ++i) percents.push_back(recent[i].percent);
    return percents;
  }

  std::unique_ptr<LoggedTest> test_ = std::make_unique<LoggedTest>();
  ProgressBook book_{kTrendTests};
};

TEST_F(ProgressBookTest, KeepsChildrenApartAndInNameOrder) {
  add(at_minute(1, 10, "Zoë"));
  add(at_minute(2, 11, "Ann"));
  add(at_minute(3, 12, "Zoë"));
  add(at_minute(4, 13, "Bob"));
  add(at_minute(5, 14, "Ann"));
  const std::vector<const ChildProgress*> children = book_.children();
  ASSERT_EQ(children.size(), 3u);
  EXPECT_EQ(children[0]->name, "Ann");
  EXPECT_EQ(children[1]->name, "Bob");
  EXPECT_EQ(children[2]->name, "Zoë");
  EXPECT_EQ(children[0]->tests, 2u);
  EXPECT_EQ(recent_percents("Ann"), (std::vector<int>{55, 70}));
  EXPECT_EQ(recent_percents("Zoë"), (std::vector<int>{50, 60}));
}

TEST_F(ProgressBookTest, OrdersTestsByStartingTimeNotByReading) {
  // As when a teacher's second file holds earlier tests.
  add(at_minute(600, 20));
  add(at_minute(700, 19));
  add(at_minute(100, 5));
  add(at_minute(650, 10));
  const ChildProgress& ann = child("Ann");
  EXPECT_EQ(iso_date_time(ann.first.start).view(), "2026-12-08T01:40:00");
  EXPECT_EQ(iso_date_time(ann.recent.latest().start).view(), "2026-12-08T11:40:00");
  EXPECT_EQ(recent_percents("Ann"), (std::vector<int>{25, 100, 50, 95}));
  EXPECT_EQ(ann.best_percent, 100);
}

TEST_F(ProgressBookTest, KeepsTestsOfTheSameSecondInReadingOrder) {
  add(at_minute(60, 1));
  add(at_minute(60, 2));
  add(at_minute(60, 3));
  EXPECT_EQ(recent_percents("Ann"), (std::vector<int>{5, 10, 15}));
}

TEST_F(ProgressBookTest, PlacesATestOfUnknownTimeAfterTheTestReadBeforeIt) {
  add(at_minute(-1, 1));  // first read: before all others
  add(at_minute(600, 2));
  add(at_minute(-1, 3));  // right after the 10:00 test
  add(at_minute(300, 4));
  add(at_minute(900, 5));
  add(at_minute(-1, 6));  // right after the 15:00 test
  EXPECT_EQ(recent_percents("Ann"), (std::vector<int>{5, 20, 10, 15, 25, 30}));
  EXPECT_FALSE(child("Ann").first.start.known());
  EXPECT_FALSE(child("Ann").recent.latest().start.known());
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
  for (std::size_t i = minutes.size() - kTrendTests; i < minutes.size(); ++i) {
    expected.push_back(minutes[i] % 21 * 5);
  }
  EXPECT_EQ(recent_percents("Ann"), expected);
  EXPECT_EQ(child("Ann").tests, 200u);
  EXPECT_EQ(child("Ann").first.start.hour, 0);
  EXPECT_EQ(child("Ann").first.start.minute, 0);
}

struct AverageCase {
  std::vector<std::string> seconds;  // of the tests in time order
  std::vector<int> rights;
  double mean_percent = 0;
  double median_seconds = 0;
};

TEST_F(ProgressBookTest, AveragesTheLastFiveTests) {
  const AverageCase cases[] = {
      {.seconds = {"30"}, .rights = {18}, .mean_percent = 90, .median_seconds = 30},
      {.seconds = {"30", "41"}, .rights = {17, 18}, .mean_percent = 87.5, .median_seconds = 35.5},
      {.seconds = {"5", "90", "40"},
       .rights = {20, 0, 10},
       .mean_percent = 50,
       .median_seconds = 40},
      // Only the last five count: the first two are left out.
      {.seconds = {"999", "999", "60", "-5", "1e+06", "50", "45"},
       .rights = {0, 0, 20, 20, 10, 10, 20},
       .mean_percent = 80,
       .median_seconds = 50},
  };
  for (const AverageCase& c : cases) {
    ProgressBook book(kTrendTests);
    for (std::size_t i = 0; i < c.seconds.size(); ++i) {
      Block block = at_minute(static_cast<int>(i), c.rights[i]);
      block.elapsed = c.seconds[i];
      const std::string text = block.text();
      ASSERT_EQ(read_block(text, test_.get()), text.size()) << c.seconds[i];
      book.add(*test_);
    }
    const RecentTests& recent = book.children().front()->recent;
    EXPECT_DOUBLE_EQ(mean_percent(recent, kAverageTests), c.mean_percent);
    EXPECT_DOUBLE_EQ(median_seconds(recent, kAverageTests), c.median_seconds);
  }
}

TEST_F(ProgressBookTest, DrawsTheTrendOfTheLastTwenty) {
  for (int right : {0, 2, 4, 10, 14, 18, 19, 20}) add(at_minute(right, right));
  const RecentTests& recent = child("Ann").recent;
  EXPECT_EQ(trend_line(recent, kTrendTests, false), "01257999");
  EXPECT_EQ(trend_line(recent, kTrendTests, true), "▁▂▂▅▆▇██");
  EXPECT_EQ(trend_line(recent, 3, false), "999");
  for (int i = 0; i < 30; ++i) add(at_minute(100 + i, 10));
  EXPECT_EQ(trend_line(child("Ann").recent, kTrendTests, false), std::string(20, '5'));
}

}  // namespace
}  // namespace progress
