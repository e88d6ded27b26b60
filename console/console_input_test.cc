#include "console/console_input.h"
#include "tests/support/fakes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace console {
namespace {

using testing_support::StringSink;
using testing_support::StringSource;

// One integer read of a line as typed: what is stored, the word that a
// following word read finds (empty: input has ended by then), and the flags.
struct IntegerCase {
  std::string typed;
  ReadResult result;
  std::int32_t target;  // the target starts at 777 and keeps it on failure
  std::string next_word;
  bool end_of_input;
  bool failed;
};

void PrintTo(const IntegerCase& c, std::ostream* os) {
  *os << '"' << (c.typed.size() > 24 ? c.typed.substr(0, 24) + "..." : c.typed) << '"';
}

class IntegerInputTest : public ::testing::TestWithParam<IntegerCase> {};

TEST_P(IntegerInputTest, StoresValueLeavesRestUnreadAndSetsFlags) {
  const IntegerCase& c = GetParam();
  StringSource source(c.typed);
  ConsoleInput in(source, nullptr);
  std::int32_t target = 777;
  EXPECT_EQ(in.read_integer(target), c.result);
  EXPECT_EQ(target, c.target);
  EXPECT_EQ(in.end_of_input(), c.end_of_input);
  EXPECT_EQ(in.failed(), c.failed);
  if (in.good()) {
    char word[64] = "untouched";
    if (c.next_word.empty()) {
      EXPECT_EQ(in.read_word(word, sizeof word), ReadResult::ended);
      EXPECT_STREQ(word, "untouched");
    } else {
      EXPECT_EQ(in.read_word(word, sizeof word), ReadResult::ok);
      EXPECT_EQ(word, c.next_word);
    }
  }
}

constexpr std::int32_t kMin = -2147483647 - 1;

INSTANTIATE_TEST_SUITE_P(
    NumberSyntax, IntegerInputTest,
    ::testing::Values(IntegerCase{"42\n", ReadResult::ok, 42, "", false, false},
                      IntegerCase{"-7\n", ReadResult::ok, -7, "", false, false},
                      IntegerCase{"+5\n", ReadResult::ok, 5, "", false, false},
                      IntegerCase{"010\n", ReadResult::ok, 8, "", false, false},
                      IntegerCase{"012\n", ReadResult::ok, 10, "", false, false},
                      IntegerCase{"08\n", ReadResult::ok, 0, "", false, false},
                      IntegerCase{"09\n", ReadResult::ok, 0, "", false, false},
                      IntegerCase{"0129\n", ReadResult::ok, 10, "", false, false},
                      IntegerCase{"0x1F\n", ReadResult::ok, 31, "", false, false},
                      IntegerCase{"0X1f\n", ReadResult::ok, 31, "", false, false},
                      IntegerCase{"-0x10\n", ReadResult::ok, -16, "", false, false},
                      IntegerCase{"0x\n", ReadResult::not_a_number, 777, "", false, true},
                      IntegerCase{"12abc\n", ReadResult::ok, 12, "abc", false, false},
                      IntegerCase{"1.5\n", ReadResult::ok, 1, ".5", false, false},
                      IntegerCase{"abc\n", ReadResult::not_a_number, 777, "abc", false, true},
                      IntegerCase{"- 5\n", ReadResult::not_a_number, 777, "5", false, true},
                      IntegerCase{"4294967296\n", ReadResult::ok, 0, "", false, false},
                      IntegerCase{"2147483648\n", ReadResult::ok, kMin, "", false, false},
                      IntegerCase{"99999999999\n", ReadResult::ok, 1215752191, "", false, false},
                      IntegerCase{"12", ReadResult::ok, 12, "", true, false},
                      IntegerCase{"", ReadResult::ended, 777, "", true, true}));

INSTANTIATE_TEST_SUITE_P(
    EdgeCases, IntegerInputTest,
    ::testing::Values(
        IntegerCase{" \t\r\n\v\f ", ReadResult::ended, 777, "", true, true},
        IntegerCase{"-", ReadResult::not_a_number, 777, "", true, true},
        IntegerCase{"0x", ReadResult::not_a_number, 777, "", true, true},
        IntegerCase{"0", ReadResult::ok, 0, "", true, false},
        IntegerCase{"\n\t -0 next", ReadResult::ok, 0, "next", false, false},
        IntegerCase{"-2147483648\n", ReadResult::ok, kMin, "", false, false},
        IntegerCase{"0xFFFFFFFF\n", ReadResult::ok, -1, "", false, false},
        IntegerCase{"0x1ffffffff\n", ReadResult::ok, -1, "", false, false},
        IntegerCase{"0777\n", ReadResult::ok, 511, "", false, false},
        IntegerCase{"0x1g\n", ReadResult::ok, 1, "g", false, false},
        IntegerCase{"--5\n", ReadResult::not_a_number, 777, "-5", false, true},
        IntegerCase{"\xA0"
                    "5\n",
                    ReadResult::not_a_number, 777,
                    "\xA0"
                    "5",
                    false, true},
        // Past 2^32 only the residue counts: 10^2000 + 7, 8^21 + 5 and
        // 16^10 + 42 leave 7, 5 and 42.
        IntegerCase{"1" + std::string(1999, '0') + "7 x", ReadResult::ok, 7, "x", false, false},
        IntegerCase{"01" + std::string(20, '0') + "5 x", ReadResult::ok, 5, "x", false, false},
        IntegerCase{"0x1" + std::string(8, '0') + "2a x", ReadResult::ok, 42, "x", false, false},
        // Octal counting stops at the first 8 or 9; the digits after it are
        // consumed all the same, however many there are.
        IntegerCase{"0179" + std::string(3000, '7') + " x", ReadResult::ok, 15, "x", false,
                    false}));

TEST(IntegerInput, NumberSplitAcrossReadsOfOneByte) {
  StringSource source("  -0x7fFfFfFf 1", 1);
  ConsoleInput in(source, nullptr);
  std::int32_t a = 0, b = 0;
  EXPECT_EQ(in.read_integer(a), ReadResult::ok);
  EXPECT_EQ(in.read_integer(b), ReadResult::ok);
  EXPECT_EQ(a, -2147483647);
  EXPECT_EQ(b, 1);
  EXPECT_TRUE(in.end_of_input());
  EXPECT_FALSE(in.failed());
}

TEST(WordInput, TakesOneWordAndLeavesTheRestOfTheLine) {
  StringSource source("  yes please\nno\n");
  ConsoleInput in(source, nullptr);
  char word[16];
  ASSERT_EQ(in.read_word(word, sizeof word), ReadResult::ok);
  EXPECT_STREQ(word, "yes");
  ASSERT_EQ(in.read_word(word, sizeof word), ReadResult::ok);
  EXPECT_STREQ(word, "please");
  ASSERT_EQ(in.read_word(word, sizeof word), ReadResult::ok);
  EXPECT_STREQ(word, "no");
  EXPECT_EQ(in.read_word(word, sizeof word), ReadResult::ended);
  EXPECT_STREQ(word, "no");
}

TEST(WordInput, WordLongerThanBufferIsCutAndConsumedWhole) {
  std::string name(3000, 'n');
  name[0] = 'A';
  StringSource source(name + " 12\n", 7);
  ConsoleInput in(source, nullptr);
  char word[256];
  word[255] = 'X';
  ASSERT_EQ(in.read_word(word, sizeof word), ReadResult::ok);
  EXPECT_EQ(std::string(word), name.substr(0, 255));
  std::int32_t next = 0;
  EXPECT_EQ(in.read_integer(next), ReadResult::ok);
  EXPECT_EQ(next, 12);
}

TEST(WordInput, WordEndedByEndOfInputStandsThenNextReadFails) {
  StringSource source("Ann");
  ConsoleInput in(source, nullptr);
  char word[8];
  ASSERT_EQ(in.read_word(word, sizeof word), ReadResult::ok);
  EXPECT_STREQ(word, "Ann");
  EXPECT_TRUE(in.end_of_input());
  EXPECT_FALSE(in.failed());
  EXPECT_EQ(in.read_word(word, sizeof word), ReadResult::not_good);
  EXPECT_TRUE(in.failed());
  EXPECT_STREQ(word, "Ann");
}

TEST(InputState, FailureIsPermanentAndLaterReadsConsumeNothing) {
  StringSource source("abc 5 yes\n");
  ConsoleInput in(source, nullptr);
  std::int32_t value = 3;
  EXPECT_EQ(in.read_integer(value), ReadResult::not_a_number);
  std::size_t consumed = source.consumed();
  std::size_t reads = source.reads();
  for (int i = 0; i < 20; ++i) {
    EXPECT_EQ(in.read_integer(value), ReadResult::not_good);
  }
  char word[8] = "old";
  EXPECT_EQ(in.read_word(word, sizeof word), ReadResult::not_good);
  EXPECT_EQ(value, 3);
  EXPECT_STREQ(word, "old");
  EXPECT_EQ(source.consumed(), consumed);
  EXPECT_EQ(source.reads(), reads);
  EXPECT_FALSE(in.end_of_input());
  EXPECT_TRUE(in.failed());
}

// The text a failed integer read could not take, for a message: what it
// consumed (a sign, "0x") and the rest of the word, however long, cut to the
// buffer; nothing after a read that did not reject a number.
struct RejectedCase {
  const char* typed = "";
  const char* rejected = "";
};

TEST(InputState, RejectedWordIsWhatTheFailedReadMet) {
  const RejectedCase cases[] = {
      {.typed = "abc 5\n", .rejected = "abc"},
      {.typed = "  -x\n", .rejected = "-x"},
      {.typed = "- 5\n", .rejected = "-"},
      {.typed = "0xg1", .rejected = "0xg1"},
      {.typed = "+0X", .rejected = "+0X"},
      {.typed = ".5\n", .rejected = ".5"},
      {.typed = "a-very-long-word-indeed\n", .rejected = "a-very-"},
  };
  for (const RejectedCase& c : cases) {
    StringSource source(c.typed, 1);
    ConsoleInput in(source, nullptr);
    std::int32_t value = 0;
    ASSERT_EQ(in.read_integer(value), ReadResult::not_a_number) << c.typed;
    char rejected[8];
    EXPECT_EQ(in.take_rejected_word(rejected, sizeof rejected), std::strlen(c.rejected));
    EXPECT_STREQ(rejected, c.rejected);
    EXPECT_TRUE(in.failed());
    // Taken once; a second call has nothing.
    EXPECT_EQ(in.take_rejected_word(rejected, sizeof rejected), 0u);
  }
  StringSource source("12abc");
  ConsoleInput in(source, nullptr);
  std::int32_t value = 0;
  ASSERT_EQ(in.read_integer(value), ReadResult::ok);
  char rejected[8] = "old";
  EXPECT_EQ(in.take_rejected_word(rejected, sizeof rejected), 0u);
  EXPECT_STREQ(rejected, "");
}

TEST(InputState, SourceIsNotAskedAgainAfterItEnded) {
  StringSource source("7");
  ConsoleInput in(source, nullptr);
  std::int32_t value = 0;
  ASSERT_EQ(in.read_integer(value), ReadResult::ok);
  std::size_t reads = source.reads();
  EXPECT_EQ(in.read_integer(value), ReadResult::not_good);
  EXPECT_EQ(source.reads(), reads);
}

TEST(InputTie, ReadOnGoodStreamFlushesPendingOutputFirst) {
  StringSink sink;
  ConsoleOutput out(sink);
  StringSource source("Ann");
  ConsoleInput in(source, &out);
  out << "What is your name? ";
  EXPECT_EQ(sink.bytes(), "");
  char word[8];
  ASSERT_EQ(in.read_word(word, sizeof word), ReadResult::ok);
  EXPECT_EQ(sink.bytes(), "What is your name? ");
  // The stream has met end of input: a read no longer flushes.
  out << "How big? ";
  std::int32_t value = 0;
  EXPECT_EQ(in.read_integer(value), ReadResult::not_good);
  EXPECT_EQ(sink.bytes(), "What is your name? ");
  out.flush();
  EXPECT_EQ(sink.bytes(), "What is your name? How big? ");
}

TEST(UpperCase, OnlyAsciiLowerCaseLettersChange) {
  for (int c = -128; c <= 255; ++c) {
    int expected = (c >= 'a' && c <= 'z') ? c - 32 : c;
    EXPECT_EQ(to_upper(c), expected) << c;
  }
  EXPECT_EQ(to_upper(-1), -1);
}

}  // namespace
}  // namespace console
