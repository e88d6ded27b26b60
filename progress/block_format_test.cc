#include "progress/block_format.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>

#include "tests/support/transcript.h"

namespace progress {
namespace {

using Block = testing_support::BlockFacts;

// `text` with the first `from` replaced by `to`.
std::string replaced(std::string text, std::string_view from, std::string_view to) {
  const std::size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

class BlockFormatTest : public ::testing::Test {
 protected:
  // Reads a block from `text` followed by more input, as the reader sees it.
  std::size_t read(const std::string& text) {
    input_ = text + "trailing text\n";
    return read_block(input_, test_.get());
  }

  std::unique_ptr<LoggedTest> test_ = std::make_unique<LoggedTest>();
  std::string input_;
};

TEST_F(BlockFormatTest, ReadsEveryFactOfABlock) {
  const std::string text =
      Block{.name = "Zoë", .elapsed = "1.23457e+06", .limit = "-7", .right = 13, .rating = "-2"}
          .text();
  ASSERT_EQ(read(text), text.size());
  const LoggedTest& test = *test_;
  EXPECT_EQ(test.site(), "www.velmora-math.com");
  EXPECT_EQ(test.name(), "Zoë");
  EXPECT_EQ(iso_date_time(test.end).view(), "2026-12-08T10:04:00");
  EXPECT_EQ(iso_date_time(test.start).view(), "2026-12-08T10:00:00");
  EXPECT_EQ(test.elapsed_text(), "1.23457e+06");
  EXPECT_DOUBLE_EQ(test.elapsed_seconds, 1234570);
  EXPECT_EQ(test.addend_limit, -7);
  EXPECT_EQ(test.right, 13);
  EXPECT_EQ(test.percent, 65);
  EXPECT_EQ(test.rating, -2);
  EXPECT_EQ(test.cr_line_ends, 0x1FF);
}

TEST_F(BlockFormatTest, TakesLineEndsLineByLine) {
  const std::string lf_only = Block{.line_end = "\n"}.text();
  ASSERT_EQ(read(lf_only), lf_only.size());
  EXPECT_EQ(test_->cr_line_ends, 0);

  // CR LF on the separator and the third line only.
  std::string mixed = Block{.line_end = "\n"}.text();
  mixed = replaced(mixed, "-\n", "-\r\n");
  mixed = replaced(mixed, "2026\n", "2026\r\n");
  ASSERT_EQ(read(mixed), mixed.size());
  EXPECT_EQ(test_->cr_line_ends, 0b101);
}

TEST_F(BlockFormatTest, ReadsLineByLineAsItReadsWholeBlocks) {
  const std::string text = Block{.line_end = "\n"}.text() + "rest";
  std::size_t at = 0;
  for (int index = 0; index < kBlockLines; ++index) {
    const std::size_t length =
        read_block_line(index, std::string_view(text).substr(at), test_.get());
    ASSERT_GT(length, 0u) << "line " << index;
    at += length;
  }
  EXPECT_EQ(at, text.size() - 4);
  EXPECT_EQ(read_block_line(1, "Test results for Ann:\n", test_.get()), 22u);
  EXPECT_EQ(read_block_line(2, "Test results for Ann:\n", test_.get()), 0u);
  EXPECT_EQ(read_block_line(9, "Test results for Ann:\n", test_.get()), 0u);
}

struct ValidCase {
  const char* what;
  Block block;
  std::string_view name = "Ann";
  std::string_view site = "www.velmora-math.com";
};

TEST_F(BlockFormatTest, ReadsWhatTheDrillMayWrite) {
  const std::string long_site(kMaxLineLength - 57, 's');  // the longest line there may be
  const std::string long_name(kMaxNameLength, 'n');
  const ValidCase cases[] = {
      {.what = "comma and quotes", .block = {.name = "O'Neil,\"Jo\""}, .name = "O'Neil,\"Jo\""},
      {.what = "colons", .block = {.name = "a:b:"}, .name = "a:b:"},
      {.what = "empty name", .block = {.name = ""}, .name = ""},
      {.what = "bytes not UTF-8", .block = {.name = "\xff\xfe"}, .name = "\xff\xfe"},
      {.what = "longest name", .block = {.name = long_name}, .name = long_name},
      {.what = "other site", .block = {.site = "example.org"}, .site = "example.org"},
      {.what = "site ending in -", .block = {.site = "x-"}, .site = "x-"},
      {.what = "longest site", .block = {.site = long_site}, .site = long_site},
      {.what = "clock unreadable",
       .block = {.end = "??? ??? ?? ??:??:?? ????", .start = "??? ??? ?? ??:??:?? ????"}},
      {.what = "year 99", .block = {.end = "Thu Jan 01 00:00:00   99"}},
      {.what = "year 12026", .block = {.start = "Tue Dec 08 10:04:00 12026"}},
      {.what = "a million seconds", .block = {.elapsed = "1e+06", .rating = "0"}},
      {.what = "negative seconds", .block = {.elapsed = "-5"}},
      {.what = "no answer right", .block = {.right = 0, .rating = "0"}},
      {.what = "all right", .block = {.right = 20}},
      {.what = "largest limit", .block = {.limit = "2147483647"}},
  };
  for (const ValidCase& c : cases) {
    const std::string text = c.block.text();
    ASSERT_EQ(read(text), text.size()) << c.what;
    EXPECT_EQ(test_->name(), c.name) << c.what;
    EXPECT_EQ(test_->site(), c.site) << c.what;
  }
}

struct InvalidCase {
  const char* what;
  std::string text;
};

TEST_F(BlockFormatTest, RefusesWhatIsNotAWholeValidBlock) {
  const std::string good = Block{}.text();
  const InvalidCase cases[] = {
      {.what = "space in the name", .text = Block{.name = "Ann Lee"}.text()},
      {.what = "tab in the name", .text = Block{.name = "Ann\tLee"}.text()},
      {.what = "NUL in the name", .text = Block{.name = std::string("Ann\0Lee", 7)}.text()},
      {.what = "name too long", .text = Block{.name = std::string(kMaxNameLength + 1, 'n')}.text()},
      {.what = "no colon", .text = replaced(good, "Ann:", "Ann")},
      {.what = "empty site", .text = Block{.site = ""}.text()},
      {.what = "space in the site", .text = Block{.site = "www velmora"}.text()},
      {.what = "line too long",
       .text = Block{.site = std::string(kMaxLineLength - 56, 's')}.text()},
      {.what = "short separator",
       .text = replaced(good, "-----------drillo1", "----------drillo1")},
      {.what = "wrong weekday", .text = Block{.start = "Mon Dec 08 10:00:00 2026"}.text()},
      {.what = "half a placeholder", .text = Block{.end = "??? ??? ?? ??:??:?? 2026"}.text()},
      {.what = "elapsed not %g", .text = Block{.elapsed = "95.0"}.text()},
      {.what = "limit too large", .text = Block{.limit = "2147483648"}.text()},
      {.what = "limit with a zero first", .text = Block{.limit = "010"}.text()},
      {.what = "rating not whole", .text = Block{.rating = "1.5"}.text()},
      {.what = "no rating", .text = Block{.rating = ""}.text()},
      {.what = "more right than problems", .text = Block{.right = 21}.text()},
      {.what = "grade of another percent", .text = replaced(good, "90% / A", "90% / B")},
      {.what = "percent not right times 5", .text = replaced(good, "grade 90%", "grade 85%")},
      {.what = "one space in the description",
       .text = replaced(good, "20  problems", "20 problems")},
      {.what = "heading changed", .text = replaced(good, "Ending time:    ", "Ending time:   ")},
      {.what = "CR without LF", .text = replaced(good, "Ann:\r\n", "Ann:\r")},
      {.what = "two CRs", .text = replaced(good, "Ann:\r\n", "Ann:\r\r\n")},
      {.what = "text after a field", .text = replaced(good, "through 10", "through 10 ")},
      {.what = "cut in the last line", .text = good.substr(0, good.size() - 3)},
      {.what = "no line end at the end", .text = good.substr(0, good.size() - 2)},
      {.what = "a line missing", .text = replaced(good, "Addend limits 0 through 10\r\n", "")},
  };
  for (const InvalidCase& c : cases) {
    EXPECT_EQ(read(c.text), 0u) << c.what;
  }
}

TEST_F(BlockFormatTest, ReadsTheSiteOfEachBlockWhenItChanges) {
  // The site of the block before is tried first; a longer one with the
  // same beginning must still be read whole.
  const std::string first = Block{.site = "abc"}.text();
  const std::string second = Block{.site = "abc-"}.text();
  const std::string third = Block{.site = "ab"}.text();
  ASSERT_EQ(read(first), first.size());
  ASSERT_EQ(read(second), second.size());
  EXPECT_EQ(test_->site(), "abc-");
  ASSERT_EQ(read(third), third.size());
  EXPECT_EQ(test_->site(), "ab");
}

TEST(LetterGradeTest, FollowsTheGradeScale) {
  for (int percent = 0; percent <= 100; ++percent) {
    EXPECT_EQ(letter_grade(percent), testing_support::letter_grade(percent)) << percent;
  }
}

}  // namespace
}  // namespace progress
