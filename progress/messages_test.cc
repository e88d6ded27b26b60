#include "progress/messages.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "tests/support/fakes.h"

namespace progress {
namespace {

struct NameCase {
  std::string_view name;
  std::string_view shown;
};

TEST(SafeFileNameTest, ShowsHiddenCharactersAndBytesThatAreNotUtf8AsQuestionMarks) {
  const NameCase cases[] = {
      {.name = "-", .shown = "standard input"},
      {.name = "kitchen/records.txt", .shown = "kitchen/records.txt"},
      {.name = "李.txt", .shown = "李.txt"},
      {.name = "--\x1b]2;owned\x07.txt", .shown = "--?]2;owned?.txt"},
      {.name = "\xe2\x80\xaetxt.exe", .shown = "?txt.exe"},  // a right-to-left override
      {.name = "\xc2\x9b"
               "31m",
       .shown = "?31m"},  // U+009B, the 8-bit CSI
      {.name = "bad\xff\xe2\x82.txt", .shown = "bad???.txt"},
  };
  for (const NameCase& c : cases) EXPECT_EQ(safe_file_name(c.name), c.shown) << c.name;
}

class MessagesTest : public testing::Test {
 protected:
  testing_support::StringSink errors;
  Messages messages{errors};
};

TEST_F(MessagesTest, NamesTheFirstFiveSkippedStretchesAndCountsTheRest) {
  records::ReadCounts counts{.tests = 1, .skipped_ranges = 7};
  counts.first_ranges = {{{1, 1}, {3, 9}, {12, 12}, {20, 21}, {30, 30}}};
  messages.about_skipped("a.txt", counts, 0);
  EXPECT_EQ(errors.bytes(),
            "mathdrill-progress: a.txt: 1 test read, 7 skipped (lines 1, 3-9, 12, 20-21, 30, "
            "...)\n");
}

TEST_F(MessagesTest, SaysNothingWhenNothingWasSkippedOrRepeated) {
  messages.about_skipped("a.txt", records::ReadCounts{.tests = 4}, 0);
  EXPECT_EQ(errors.bytes(), "");
  messages.about_skipped("-", records::ReadCounts{.tests = 4}, 1);
  EXPECT_EQ(errors.bytes(), "mathdrill-progress: standard input: 4 tests read, 1 duplicate\n");
}

TEST_F(MessagesTest, UsageErrorPointsToTheHelpAndGivesStatusTwo) {
  EXPECT_EQ(messages.usage_error("unrecognized option '--foo'"), 2);
  EXPECT_EQ(errors.bytes(),
            "mathdrill-progress: unrecognized option '--foo'\n"
            "Try 'mathdrill-progress --help' for more information.\n");
}

TEST_F(MessagesTest, UsageErrorShowsWhatWasTypedSafely) {
  // A file name in a shared folder, passed on by mathdrill-progress *.txt.
  messages.usage_error("unrecognized option '--\x1b]2;owned\x07\xc2\x9b\x9b.txt'");
  EXPECT_EQ(errors.bytes(),
            "mathdrill-progress: unrecognized option '--?]2;owned???.txt'\n"
            "Try 'mathdrill-progress --help' for more information.\n");
}

}  // namespace
}  // namespace progress
