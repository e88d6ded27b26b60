#include "progress/records_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/byte_stream.h"
#include "tests/support/fakes.h"
#include "tests/support/progress_files.h"
#include "tests/support/transcript.h"

namespace progress {
namespace {

using Block = testing_support::BlockFacts;

// What a test read gave, enough to tell tests apart.
struct Seen {
  std::uint64_t first_line = 0;
  std::string name;
  int right = 0;
  std::uint16_t cr_line_ends = 0;
  bool operator==(const Seen&) const = default;
};

struct Reading {
  std::vector<Seen> tests;
  ReadCounts counts;
};

// Reads all of `input`, handed out `delivered` bytes a read, with reads of
// `chunk` bytes.
Reading read_all(const std::string& input, std::size_t delivered = 4096,
                 std::size_t chunk = kDefaultChunkSize) {
  testing_support::StringSource source(input, delivered);
  RecordsReader reader(source, chunk);
  Reading reading;
  while (const LoggedTest* test = reader.next()) {
    reading.tests.push_back({.first_line = test->first_line,
                             .name = std::string(test->name()),
                             .right = test->right,
                             .cr_line_ends = test->cr_line_ends});
  }
  reading.counts = reader.counts();
  return reading;
}

std::vector<LineRange> ranges(const ReadCounts& counts) {
  std::vector<LineRange> shown;
  for (std::size_t i = 0; i < counts.skipped_ranges && i < ReadCounts::kRangesKept; ++i) {
    shown.push_back(counts.first_ranges[i]);
  }
  return shown;
}

TEST(RecordsReaderTest, ReadsTheDrillsLogWhole) {
  const Reading reading = read_all(testing_support::testdata("records.txt"));
  ASSERT_EQ(reading.tests.size(), 14u);
  EXPECT_EQ(reading.tests[0],
            (Seen{.first_line = 1, .name = "Ann", .right = 14, .cr_line_ends = 0x1FF}));
  EXPECT_EQ(reading.tests[3].name, "O'Neil,\"Jo\"");
  EXPECT_EQ(reading.tests[13],
            (Seen{.first_line = 118, .name = "Ann", .right = 20, .cr_line_ends = 0x1FF}));
  EXPECT_EQ(reading.counts.lines, 126u);
  EXPECT_EQ(reading.counts.skipped_lines, 0u);
  EXPECT_EQ(reading.counts.skipped_ranges, 0u);
}

// damaged.txt is records.txt's blocks with damage between them; see
// make_records.sh for what lies on which line.
TEST(RecordsReaderTest, SkipsDamageAndKeepsTheLinesOfWhatItSkipped) {
  const Reading reading = read_all(testing_support::testdata("damaged.txt"));
  ASSERT_EQ(reading.tests.size(), 4u);
  EXPECT_EQ(reading.tests[0].first_line, 2u);
  EXPECT_EQ(reading.tests[1],
            (Seen{.first_line = 15, .name = "Zoë", .right = 11, .cr_line_ends = 0}));
  EXPECT_EQ(reading.tests[2].first_line, 25u);
  EXPECT_EQ(reading.tests[3].first_line, 44u);
  const ReadCounts& counts = reading.counts;
  EXPECT_EQ(counts.lines, 55u);
  EXPECT_EQ(counts.skipped_lines, 19u);
  EXPECT_EQ(counts.tests * kBlockLines + counts.skipped_lines, counts.lines);
  EXPECT_EQ(counts.skipped_ranges, 5u);
  EXPECT_EQ(ranges(counts),
            (std::vector<LineRange>{{1, 1}, {11, 14}, {24, 24}, {34, 43}, {53, 55}}));
}

TEST(RecordsReaderTest, GivesTheSameWhateverThePiecesTheInputComesIn) {
  const std::string input = testing_support::testdata("damaged.txt");
  const Reading whole = read_all(input);
  struct Pieces {
    std::size_t delivered = 0;
    std::size_t chunk = 0;
  };
  const Pieces pieces[] = {{.delivered = 1, .chunk = 1},
                           {.delivered = 7, .chunk = 5},
                           {.delivered = 4096, .chunk = 100},
                           {.delivered = 100000, .chunk = 4097},
                           {.delivered = 3, .chunk = 65536}};
  for (const Pieces& p : pieces) {
    const Reading reading = read_all(input, p.delivered, p.chunk);
    EXPECT_EQ(reading.tests, whole.tests) << p.delivered << " " << p.chunk;
    EXPECT_EQ(reading.counts.lines, whole.counts.lines);
    EXPECT_EQ(ranges(reading.counts), ranges(whole.counts));
  }
}

TEST(RecordsReaderTest, CountsLinesRightWhenTheWindowMovesOnUnderALine) {
  // A line that starts like a separator but is none, read in pieces far
  // smaller than a block's window: looking for a whole block there moves
  // the window on to new bytes before the line is looked at again.
  std::string input = "-----------drillo1.exe: from " + std::string(5000, 's') + "\r\n";
  for (int i = 0; i < 300; ++i) input += "-----\n" + Block{.right = i % 21}.text();
  for (const std::size_t chunk : {std::size_t{700}, std::size_t{4099}, kDefaultChunkSize}) {
    const Reading reading = read_all(input, 97, chunk);
    ASSERT_EQ(reading.tests.size(), 300u) << chunk;
    for (std::size_t i = 0; i < reading.tests.size(); ++i) {
      EXPECT_EQ(reading.tests[i].first_line, 3 + 10 * i) << chunk;
      EXPECT_EQ(reading.tests[i].right, static_cast<int>(i % 21)) << chunk;
    }
    EXPECT_EQ(reading.counts.skipped_lines, 301u) << chunk;
  }
}

TEST(RecordsReaderTest, StartsAgainAtASeparatorInsideABlock) {
  const std::string block = Block{.name = "Cut"}.text();
  const std::string cut = block.substr(0, block.find("Tue") + 3);  // two lines and a bit
  const std::string input = cut + "\r\n" + Block{.name = "Whole"}.text();
  const Reading reading = read_all(input);
  ASSERT_EQ(reading.tests.size(), 1u);
  EXPECT_EQ(reading.tests[0].name, "Whole");
  EXPECT_EQ(reading.tests[0].first_line, 4u);
  EXPECT_EQ(ranges(reading.counts), (std::vector<LineRange>{{1, 3}}));
}

TEST(RecordsReaderTest, JoinsSkippedLinesThatFollowEachOther) {
  const std::string broken = Block{.right = 21}.text();  // percent 105: no such block
  const std::string input = "foreign\n" + broken + "\n" + Block{}.text() + "x\n";
  const Reading reading = read_all(input);
  ASSERT_EQ(reading.tests.size(), 1u);
  EXPECT_EQ(ranges(reading.counts), (std::vector<LineRange>{{1, 11}, {21, 21}}));
  EXPECT_EQ(reading.counts.skipped_lines, 12u);
}

TEST(RecordsReaderTest, CountsEveryStretchButKeepsTheFirstFive) {
  std::string input;
  for (int i = 0; i < 7; ++i) input += "noise " + std::to_string(i) + "\n" + Block{}.text();
  const Reading reading = read_all(input);
  EXPECT_EQ(reading.tests.size(), 7u);
  EXPECT_EQ(reading.counts.skipped_ranges, 7u);
  EXPECT_EQ(ranges(reading.counts),
            (std::vector<LineRange>{{1, 1}, {11, 11}, {21, 21}, {31, 31}, {41, 41}}));
}

TEST(RecordsReaderTest, PassesOverALineLongerThanItsBuffer) {
  const std::string input = Block{.name = "Before"}.text() + std::string(3'000'000, '-') + "\n" +
                            Block{.name = "After"}.text();
  const Reading reading = read_all(input, 65536, 1024);
  ASSERT_EQ(reading.tests.size(), 2u);
  EXPECT_EQ(reading.tests[1].name, "After");
  EXPECT_EQ(reading.tests[1].first_line, 11u);
  EXPECT_EQ(ranges(reading.counts), (std::vector<LineRange>{{10, 10}}));
}

TEST(RecordsReaderTest, SkipsABlockCutAtTheEnd) {
  const std::string block = Block{}.text();
  const Reading reading = read_all(block + block.substr(0, block.size() - 1));
  EXPECT_EQ(reading.tests.size(), 1u);
  EXPECT_EQ(ranges(reading.counts), (std::vector<LineRange>{{10, 18}}));
  EXPECT_EQ(reading.counts.lines, 18u);
}

TEST(RecordsReaderTest, ReadsNothingFromNothing) {
  const Reading reading = read_all("");
  EXPECT_TRUE(reading.tests.empty());
  EXPECT_EQ(reading.counts.lines, 0u);
  EXPECT_EQ(reading.counts.skipped_ranges, 0u);
}

}  // namespace
}  // namespace progress
