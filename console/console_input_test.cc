#include "console/console_input.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/support/fakes.h"

namespace console {
namespace {

using testing_support::StringSink;
using testing_support::StringSource;

// One integer read of a line as typed: what is stored, the word that a
// following word read finds (empty: input has ended by then), and the flags.
struct IntegerCase {
  std::string typed = {};
  ReadResult result = ReadResult::ok;
  std::int32_t target = 0;  // the target starts at 777 and keeps it on failure
  std::string next_word = {};
  bool end_of_input = false;
  bool failed = false;
};

void PrintTo(const IntegerCase& c, std::ostream* os) {
  *os << '"' << (c.typed.size() > 24 ? c.typed.substr(0, 24) + "..." : c.typed) << '"';
}

// The rows of the tables below: a read that stores `target` (and leaves
// `next_word` for a word read after it), that stores it and meets the end of
// input, that finds no number (failed), likewise at the end of input, and
// that finds only whitespace before the end.
IntegerCase stores(std::string typed, std::int32_t target, std::string next_word = "") {
  return {.typed = std::move(typed), .target = target, .next_word = std::move(next_word)};
}
IntegerCase stores_then_ends(std::string typed, std::int32_t target) {
  return {.typed = std::move(typed), .target = target, .end_of_input = true};
}
IntegerCase rejects(std::string typed, std::string next_word = "") {
  return {.typed = std::move(typed),
          .result = ReadResult::not_a_number,
          .target = 777,
          .next_word = std::move(next_word),
          .failed = true};
}
IntegerCase rejects_then_ends(std::string typed) {
  IntegerCase c = rejects(std::move(typed));
  c.end_of_input = true;
  return c;
}
IntegerCase finds_nothing(std::string typed) {
  return {.typed = std::move(typed),
          .result = ReadResult::ended,
          .target = 777,
          .end_of_input = true,
          .failed = true};
}

class IntegerInputTest : public ::testing::TestWithParam<IntegerCase> {};

TEST_P(IntegerInputTest, StoresValueLeavesRestUnreadAndSetsFlags) {
  const IntegerCase& c = GetParam();
  StringSource source(c.typed);
  ConsoleInput in(source, nullptr);
  std::int32_t target = 777;
  EXPECT_EQ(in.read_integer(&target), c.result);
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
    ::testing::Values(stores("42\n", 42), stores("-7\n", -7), stores("+5\n", 5), stores("010\n", 8),
                      stores("012\n", 10), stores("08\n", 0), stores("09\n", 0),
                      stores("0129\n", 10), stores("0x1F\n", 31), stores("0X1f\n", 31),
                      stores("-0x10\n", -16), rejects("0x\n"), stores("12abc\n", 12, "abc"),
                      stores("1.5\n", 1, ".5"), rejects("abc\n", "abc"), rejects("- 5\n", "5"),
                      stores("4294967296\n", 0), stores("2147483648\n", kMin),
                      stores("99999999999\n", 1215752191), stores_then_ends("12", 12),
                      finds_nothing("")));

INSTANTIATE_TEST_SUITE_P(
    EdgeCases, IntegerInputTest,
    ::testing::Values(finds_nothing(" \t\r\n\v\f "), rejects_then_ends("-"),
                      rejects_then_ends("0x"), stores_then_ends("0", 0),
                      stores("\n\t -0 next", 0, "next"), stores("-2147483648\n", kMin),
                      stores("0xFFFFFFFF\n", -1), stores("0x1ffffffff\n", -1),
                      stores("0777\n", 511), stores("0x1g\n", 1, "g"), rejects("--5\n", "-5"),
                      rejects("\xA0"
                              "5\n",
                              "\xA0"
                              "5"),
                      // Past 2^32 only the residue counts: 10^2000 + 7, 8^21 + 5 and
                      // 16^10 + 42 leave 7, 5 and 42.
                      stores("1" + std::string(1999, '0') + "7 x", 7, "x"),
                      stores("01" + std::string(20, '0') + "5 x", 5, "x"),
                      stores("0x1" + std::string(8, '0') + "2a x", 42, "x"),
                      // Octal counting stops at the first 8 or 9; the digits after it are
                      // consumed all the same, however many there are.
                      stores("0179" + std::string(3000, '7') + " x", 15, "x")));

TEST(IntegerInput, NumberSplitAcrossReadsOfOneByte) {
  StringSource source("  -0x7fFfFfFf 1", 1);
  ConsoleInput in(source, nullptr);
  std::int32_t a = 0, b = 0;
  EXPECT_EQ(in.read_integer(&a), ReadResult::ok);
  EXPECT_EQ(in.read_integer(&b), ReadResult::ok);
  EXPECT_EQ(a, -2147483647);
  EXPECT_EQ(b, 1);
  EXPECT_TRUE(in.end_of_input());
  EXPECT_FALSE(in.failed());
}

// A NUL typed in a word does not end it: the word arrives whole, the NUL as
// '?', and the terminating NUL after it.
TEST(WordInput, NulInAWordIsKeptAsAQuestionMark) {
  const std::string typed("\0Ann Z\0\0e\n", 11);
  StringSource source(typed);
  ConsoleInput in(source, nullptr);
  char word[16];
  ASSERT_EQ(in.read_word(word, sizeof word), ReadResult::ok);
  EXPECT_EQ(std::string(word, 5), std::string("?Ann\0", 5));
  ASSERT_EQ(in.read_word(word, sizeof word), ReadResult::ok);
  EXPECT_EQ(std::string(word, 5), std::string("Z??e\0", 5));
}

TEST(WordInput, TakesOneWordAndLeavesTheRestOfTheLine) {
  StringSource source("  yes please\nno\n");
  ConsoleInput in(source, nullptr);
  char word[16];
  for (const char* expected : {"yes", "please", "no"}) {
    ASSERT_EQ(in.read_word(word, sizeof word), ReadResult::ok);
    EXPECT_STREQ(word, expected);
  }
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
  EXPECT_EQ(in.read_integer(&next), ReadResult::ok);
  EXPECT_EQ(next, 12);
}

// A word or a number ended by the end of input stands; the read after it
// fails without asking the source again and leaves its target as it was.
TEST(InputState, ReadEndedByEndOfInputStandsThenTheNextFailsWithoutReading) {
  StringSource words("Ann");
  ConsoleInput word_input(words, nullptr);
  char word[8];
  ASSERT_EQ(word_input.read_word(word, sizeof word), ReadResult::ok);
  EXPECT_STREQ(word, "Ann");
  EXPECT_TRUE(word_input.end_of_input());
  EXPECT_FALSE(word_input.failed());
  const std::size_t word_reads = words.reads();
  EXPECT_EQ(word_input.read_word(word, sizeof word), ReadResult::not_good);
  EXPECT_TRUE(word_input.failed());
  EXPECT_STREQ(word, "Ann");
  EXPECT_EQ(words.reads(), word_reads);

  StringSource numbers("7");
  ConsoleInput number_input(numbers, nullptr);
  std::int32_t value = 0;
  ASSERT_EQ(number_input.read_integer(&value), ReadResult::ok);
  const std::size_t number_reads = numbers.reads();
  EXPECT_EQ(number_input.read_integer(&value), ReadResult::not_good);
  EXPECT_EQ(value, 7);
  EXPECT_EQ(numbers.reads(), number_reads);
}

TEST(InputState, FailureIsPermanentAndLaterReadsConsumeNothing) {
  StringSource source("abc 5 yes\n");
  ConsoleInput in(source, nullptr);
  std::int32_t value = 3;
  EXPECT_EQ(in.read_integer(&value), ReadResult::not_a_number);
  std::size_t consumed = source.consumed();
  std::size_t reads = source.reads();
  for (int i = 0; i < 20; ++i) {
    EXPECT_EQ(in.read_integer(&value), ReadResult::not_good);
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
    ASSERT_EQ(in.read_integer(&value), ReadResult::not_a_number) << c.typed;
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
  ASSERT_EQ(in.read_integer(&value), ReadResult::ok);
  char rejected[8] = "old";
  EXPECT_EQ(in.take_rejected_word(rejected, sizeof rejected), 0u);
  EXPECT_STREQ(rejected, "");
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
  EXPECT_EQ(in.read_integer(&value), ReadResult::not_good);
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
