#include "tests/support/records_check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace testing_support {
namespace {

// Ann's example block (limit 10, 18 right in 240 seconds), lines joined
// with CR LF.
std::string example_block(const std::vector<std::string>& replace = {}, int at = -1) {
  std::vector<std::string> lines = {
      std::string(kSeparator),
      "Test results for Ann:",
      "Ending time:    Tue Dec 08 10:04:00 2026",
      "Starting time:  Tue Dec 08 10:00:00 2026",
      "Elapsed time:   240 seconds.",
      "Test description: 20  problems, mixed addition/subtraction (random 50/50)",
      "Addend limits 0 through 10",
      "Results: 18 right out of 20, grade 90% / A",
      "Time/performance rating: 6",
  };
  if (at >= 0) lines[static_cast<std::size_t>(at)] = replace.at(0);
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
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
  int line = 0;  // 0 to 8
  const char* text = "";
};

class RecordsCheckBadLine : public testing::TestWithParam<BadLine> {};

TEST_P(RecordsCheckBadLine, IsRejected) {
  std::string why;
  EXPECT_FALSE(parse_records(example_block({GetParam().text}, GetParam().line), nullptr, &why))
      << GetParam().text;
  EXPECT_NE(why.find("line " + std::to_string(GetParam().line + 1)), std::string::npos) << why;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, RecordsCheckBadLine,
    testing::Values(
        BadLine{.line = 0, .text = kSeparatorText + 1},  // one hyphen short
        BadLine{.line = 1, .text = "Test results for Ann Lee:"},
        BadLine{.line = 1, .text = "Test results for Ann"},
        BadLine{.line = 2, .text = "Ending time:    Wed Dec 08 10:04:00 2026"},  // wrong weekday
        BadLine{.line = 2, .text = "Ending time:    Tue Dec  8 10:04:00 2026"},  // no zero pad
        BadLine{.line = 3, .text = "Starting time:  Mon Feb 30 10:00:00 2026"},  // no such day
        BadLine{.line = 3, .text = "Starting time:  Tue Dec 08 24:00:00 2026"},
        BadLine{.line = 4, .text = "Elapsed time:   1000000 seconds."},  // %g gives 1e+06
        BadLine{.line = 4, .text = "Elapsed time:   240.0 seconds."},
        BadLine{.line = 4, .text = "Elapsed time:   240 seconds"},
        BadLine{.line = 5,
                .text = "Test description: 20 problems, mixed addition/subtraction (random 50/50)"},
        BadLine{.line = 6, .text = "Addend limits 0 through 2147483648"},
        BadLine{.line = 6, .text = "Addend limits 0 through 010"},
        BadLine{.line = 7, .text = "Results: 18 right out of 20, grade 90% / B"},
        BadLine{.line = 7, .text = "Results: 21 right out of 20, grade 105% / A+"},
        BadLine{.line = 8, .text = "Time/performance rating: 7"}));

TEST(RecordsCheck, ChecksTheScoreAgainstTheElapsedTime) {
  auto with = [](const char* elapsed, const char* results, const char* score) {
    std::string block = example_block({std::string("Elapsed time:   ") + elapsed + " seconds."}, 4);
    block.replace(block.find("Results"), block.size(),
                  std::string(results) + "\r\nTime/performance rating: " + score + "\r\n");
    return parse_records(block, nullptr, nullptr);
  };
  EXPECT_TRUE(with("0", "Results: 20 right out of 20, grade 100% / A+", "2000"));
  EXPECT_TRUE(with("-5", "Results: 20 right out of 20, grade 100% / A+", "2000"));
  EXPECT_TRUE(with("100", "Results: 20 right out of 20, grade 100% / A+", "20"));
  EXPECT_TRUE(with("1.23457e+06", "Results: 20 right out of 20, grade 100% / A+", "0"));
  EXPECT_TRUE(with("7", "Results: 0 right out of 20, grade 0% / F", "0"));
  EXPECT_TRUE(with("7", "Results: 11 right out of 20, grade 55% / F", "86"));
  EXPECT_FALSE(with("1.23457e+06", "Results: 20 right out of 20, grade 100% / A+", "1"));
  EXPECT_FALSE(with("1.50000e+06", "Results: 20 right out of 20, grade 100% / A+", "0"));
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
