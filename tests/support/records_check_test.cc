#include "tests/support/records_check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace testing_support {
namespace {

// Ann's example block (limit 10, 18 right in 240 seconds): the defaults of
// BlockFacts, with CR LF line ends.
std::string example_block() { return BlockFacts{}.text(); }

// The example block with `from` replaced by `to` on line `line` (0 to 8).
std::string example_block_with(int line, std::string_view from, std::string_view to) {
  std::string block = example_block();
  std::size_t at = 0;
  for (int n = 0; n < line; ++n) at = block.find('\n', at) + 1;
  const std::size_t found = block.find(from, at);
  EXPECT_LT(found, block.find('\n', at)) << from;
  return block.replace(found, from.size(), to);
}

TEST(RecordsCheck, ReadsAnnsExample) {
  std::vector<Block> blocks;
  std::string why;
  ASSERT_TRUE(parse_records(example_block(), &blocks, &why)) << why;
  ASSERT_EQ(blocks.size(), 1u);
  const Block& b = blocks[0];
  EXPECT_EQ(b.name, "Ann");
  EXPECT_EQ(b.ending, "Tue Dec 08 10:04:00 2026");
  EXPECT_EQ(b.starting, "Tue Dec 08 10:00:00 2026");
  EXPECT_EQ(b.elapsed, "240");
  EXPECT_EQ(b.limit, 10);
  EXPECT_EQ(b.right, 18);
  EXPECT_EQ(b.percent, 90);
  EXPECT_EQ(b.grade, "A");
  EXPECT_EQ(b.score, 6);
  EXPECT_EQ(b.text, example_block());
}

TEST(RecordsCheck, AcceptsNothingAPrefixAndSeveralBlocks) {
  std::vector<Block> blocks;
  std::string why;
  EXPECT_TRUE(parse_records("", &blocks, &why)) << why;
  EXPECT_TRUE(blocks.empty());
  EXPECT_TRUE(parse_records("old\nbytes", &blocks, &why, "old\nbytes")) << why;
  const std::string two = example_block() + example_block();
  ASSERT_TRUE(parse_records("x" + two, &blocks, &why, "x")) << why;
  EXPECT_EQ(blocks.size(), 2u);
  EXPECT_FALSE(parse_records("y" + two, &blocks, &why, "x"));
  EXPECT_FALSE(parse_records("x" + two, &blocks, &why));  // stray byte without a prefix
}

TEST(RecordsCheck, RejectsCutAndMixedBlocks) {
  const std::string block = example_block();
  std::vector<Block> blocks;
  std::string why;
  // Cut anywhere inside the second block.
  for (std::size_t cut : {std::size_t{1}, std::size_t{40}, block.size() - 1}) {
    EXPECT_FALSE(parse_records(block + block.substr(0, cut), &blocks, &why)) << cut;
    EXPECT_EQ(blocks.size(), 1u);
    EXPECT_NE(why.find("block 2"), std::string::npos) << why;
  }
  // The second block's lines interleaved into the first.
  const std::size_t third_line = block.find("Ending");
  EXPECT_FALSE(
      parse_records(block.substr(0, third_line) + block + block.substr(third_line), &blocks, &why));
  // LF alone as a line end.
  std::string lf = block;
  lf.erase(lf.find('\r'), 1);
  EXPECT_FALSE(parse_records(lf, &blocks, &why));
}

struct BadLine {
  int line = 0;           // 0 to 8
  const char* from = "";  // what is replaced on that line
  const char* to = "";    // by what
};

void PrintTo(const BadLine& c, std::ostream* os) { *os << c.line << ": " << c.to; }

class RecordsCheckBadLine : public testing::TestWithParam<BadLine> {};

TEST_P(RecordsCheckBadLine, IsRejected) {
  const BadLine& c = GetParam();
  std::string why;
  EXPECT_FALSE(parse_records(example_block_with(c.line, c.from, c.to), nullptr, &why));
  EXPECT_NE(why.find("line " + std::to_string(c.line + 1)), std::string::npos) << why;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, RecordsCheckBadLine,
    testing::Values(BadLine{.line = 0, .from = "--", .to = "-"},  // one hyphen short
                    BadLine{.line = 1, .from = "Ann:", .to = "Ann Lee:"},
                    BadLine{.line = 1, .from = "Ann:", .to = "Ann"},
                    BadLine{.line = 2, .from = "Tue", .to = "Wed"},                // wrong weekday
                    BadLine{.line = 2, .from = "08", .to = " 8"},                  // no zero pad
                    BadLine{.line = 3, .from = "Tue Dec 08", .to = "Mon Feb 30"},  // no such day
                    BadLine{.line = 3, .from = "10:00:00", .to = "24:00:00"},
                    BadLine{.line = 4, .from = "240", .to = "1000000"},  // %g gives 1e+06
                    BadLine{.line = 4, .from = "240", .to = "240.0"},
                    BadLine{.line = 4, .from = "seconds.", .to = "seconds"},
                    BadLine{.line = 5, .from = "  ", .to = " "},  // the console's one space
                    BadLine{.line = 6, .from = "10", .to = "2147483648"},
                    BadLine{.line = 6, .from = "10", .to = "010"},
                    BadLine{.line = 7, .from = "/ A", .to = "/ B"},
                    BadLine{.line = 7, .from = "18", .to = "21"},
                    BadLine{.line = 8, .from = "6", .to = "7"}));

// Blocks with other elapsed times, results and ratings.
TEST(RecordsCheck, ChecksTheScoreAgainstTheElapsedTime) {
  auto with = [](const char* elapsed, int right, const char* rating) {
    return parse_records(BlockFacts{.elapsed = elapsed, .right = right, .rating = rating}.text(),
                         nullptr, nullptr);
  };
  EXPECT_TRUE(with("0", 20, "2000"));
  EXPECT_TRUE(with("-5", 20, "2000"));
  EXPECT_TRUE(with("100", 20, "20"));
  EXPECT_TRUE(with("1.23457e+06", 20, "0"));
  EXPECT_TRUE(with("7", 0, "0"));
  EXPECT_TRUE(with("7", 11, "86"));
  EXPECT_FALSE(with("1.23457e+06", 20, "1"));
  EXPECT_FALSE(with("1.50000e+06", 20, "0"));
}

TEST(RecordsCheck, GradeScale) {
  EXPECT_EQ(letter_grade(100), "A+");
  EXPECT_EQ(letter_grade(98), "A+");
  EXPECT_EQ(letter_grade(95), "A");
  EXPECT_EQ(letter_grade(89), "B+");
  EXPECT_EQ(letter_grade(80), "B");
  EXPECT_EQ(letter_grade(79), "C+");
  EXPECT_EQ(letter_grade(70), "C");
  EXPECT_EQ(letter_grade(68), "D+");
  EXPECT_EQ(letter_grade(60), "D");
  EXPECT_EQ(letter_grade(55), "F");
}

// The model's block is what the checker accepts, and the console report it
// reads back is the one it writes.
TEST(RecordsCheck, ModelBlocksAndReportsReadBack) {
  const Report ann = make_report("Ann", 10, 18, 1796724000, 1796724240);
  EXPECT_EQ(log_block(ann), example_block());
  std::vector<Block> blocks;
  std::string why;
  ASSERT_TRUE(parse_records(log_block(ann), &blocks, &why)) << why;
  const std::vector<Report> reports =
      console_reports("noise\n" + console_report(ann) + "\nDo you want to go again? (y or n) ");
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(console_report(reports[0]), console_report(ann));
  EXPECT_EQ(reports[0].score, 6);
}

}  // namespace
}  // namespace testing_support
