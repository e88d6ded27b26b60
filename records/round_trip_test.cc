// The block writer and the block reader side by side: every block the drill
// can write is read back with the facts it was written from.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "records/block_reader.h"
#include "records/block_writer.h"

namespace records {
namespace {

// 2026-12-08, a Tuesday, at the given time of day.
text::CivilTime december_8(std::uint8_t hour, std::uint8_t minute, std::uint8_t second) {
  return {.year = 2026,
          .month = 12,
          .day = 8,
          .hour = hour,
          .minute = minute,
          .second = second,
          .weekday = 2};
}

TEST(RoundTrip, EveryWrittenBlockReadsBackWithItsFacts) {
  struct Case {
    FinishedTest test;
    std::string_view elapsed;  // as the block logs it
  };
  const std::string longest(255, 'z');
  const Case cases[] = {
      {.test = {.name = "Ann",
                .addend_limit = 10,
                .right_count = 18,
                .elapsed = 240,
                .start = december_8(10, 0, 0),
                .end = december_8(10, 4, 0)},
       .elapsed = "240"},
      {.test = {.name = longest,
                .addend_limit = -2147483647 - 1,
                .right_count = 0,
                .elapsed = 1234567,
                .start = december_8(0, 0, 0),
                .end = december_8(23, 59, 59)},
       .elapsed = "1.23457e+06"},
      {.test = {.name = "Zo\xc3\xab",
                .addend_limit = 2147483647,
                .right_count = 20,
                .elapsed = 0,
                .start = std::nullopt,
                .end = std::nullopt},
       .elapsed = "0"},
      {.test = {.name = "Bo",
                .addend_limit = 0,
                .right_count = 11,
                .elapsed = -5,
                .start = december_8(9, 0, 5),
                .end = december_8(9, 0, 0)},
       .elapsed = "-5"},
  };
  for (const Case& c : cases) {
    const TestFacts facts = test_facts(c.test);
    const BlockText block = write_block(facts);
    BlockReader reader;
    reader.add(block.view());
    const LoggedTest* read = reader.next();
    ASSERT_NE(read, nullptr) << block.view();
    EXPECT_EQ(read->site, kSite);
    EXPECT_EQ(read->name, facts.name);
    EXPECT_EQ(read->elapsed, c.elapsed);
    EXPECT_EQ(read->operations, facts.operations);
    EXPECT_EQ(read->addend_limit, facts.addend_limit);
    EXPECT_EQ(read->right, facts.right_count);
    EXPECT_EQ(read->percent, facts.percent);
    EXPECT_EQ(read->rating, facts.score);
    EXPECT_EQ(read->start.known(), c.test.start.has_value());
    if (c.test.start) {
      EXPECT_EQ(read->start.hour, c.test.start->hour);
      EXPECT_EQ(read->end.second, c.test.end->second);
      EXPECT_EQ(read->end.year, 2026);
    }
    EXPECT_EQ(reader.next(), nullptr);
    const ReadCounts& counts = reader.finish();
    EXPECT_EQ(counts.tests, 1u);
    EXPECT_EQ(counts.skipped_lines, 0u);
  }
}

}  // namespace
}  // namespace records
