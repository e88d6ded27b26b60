#include "records/block_reader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "records/format.h"
#include "tests/support/progress_files.h"
#include "tests/support/transcript.h"

namespace records {
namespace {

using Block = testing_support::BlockFacts;

// What reading a whole input gave.
struct Reading {
  std::vector<LoggedTest> tests;
  ReadCounts counts;
};

// Reads all of `input`, given to the reader `piece` bytes at a time.
Reading read_all(std::string_view input, std::size_t piece = 4096) {
  BlockReader reader;
  Reading reading;
  for (std::size_t at = 0; at < input.size(); at += piece) {
    reader.add(input.substr(at, piece));
    while (const LoggedTest* test = reader.next()) {
      reading.tests.push_back(testing_support::kept_test(*test));
    }
  }
  reading.counts = reader.finish();
  return reading;
}

// The one test read from `text` followed by more input, as a log goes on
// after a block; none when the text is not a whole sound block.
std::optional<LoggedTest> read_one(const std::string& text) {
  Reading reading = read_all(text + "trailing text\n");
  if (reading.tests.size() != 1) return std::nullopt;
  return reading.tests[0];
}

std::vector<LineRange> ranges(const ReadCounts& counts) {
  std::vector<LineRange> shown;
  for (std::size_t i = 0; i < counts.skipped_ranges && i < ReadCounts::kRangesKept; ++i) {
    shown.push_back(counts.first_ranges[i]);
  }
  return shown;
}

std::vector<std::string> names(const Reading& reading) {
  std::vector<std::string> shown;
  for (const LoggedTest& test : reading.tests) shown.emplace_back(test.name);
  return shown;
}

// `text` with the first `from` replaced by `to`.
std::string replaced(std::string text, std::string_view from, std::string_view to) {
  const std::size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

TEST(BlockReaderTest, ReadsEveryFactOfABlock) {
  const std::optional<LoggedTest> test = read_one(
      Block{.name = "Zoë", .elapsed = "1.23457e+06", .limit = "-7", .right = 13, .rating = "-2"}
          .text());
  ASSERT_TRUE(test);
  EXPECT_EQ(test->site, "www.velmora-math.com");
  EXPECT_EQ(test->name, "Zoë");
  EXPECT_EQ(test->end.year, 2026);
  EXPECT_EQ(test->end.month, 12);
  EXPECT_EQ(test->end.day, 8);
  EXPECT_EQ(test->end.weekday, 2);
  EXPECT_EQ(test->end.hour, 10);
  EXPECT_EQ(test->end.minute, 4);
  EXPECT_EQ(test->start.minute, 0);
  EXPECT_EQ(test->elapsed, "1.23457e+06");
  EXPECT_EQ(test->elapsed_seconds, 1234570);
  EXPECT_EQ(test->addend_limit, -7);
  EXPECT_EQ(test->right, 13);
  EXPECT_EQ(test->percent, 65);
  EXPECT_EQ(test->rating, -2);
  EXPECT_EQ(test->first_line, 1u);
}

struct ValidCase {
  const char* what;
  Block block;
  std::string_view name = "Ann";
  std::string_view site = "www.velmora-math.com";
};

TEST(BlockReaderTest, ReadsWhatTheDrillMayWrite) {
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
      {.what = "LF line ends", .block = {.line_end = "\n"}},
      {.what = "no answer right", .block = {.right = 0, .rating = "0"}},
      {.what = "all right", .block = {.right = 20}},
      {.what = "largest limit", .block = {.limit = "2147483647"}},
      {.what = "smallest rating", .block = {.rating = "-2147483648"}},
  };
  for (const ValidCase& c : cases) {
    const std::optional<LoggedTest> test = read_one(c.block.text());
    ASSERT_TRUE(test) << c.what;
    EXPECT_EQ(test->name, c.name) << c.what;
    EXPECT_EQ(test->site, c.site) << c.what;
  }
}

struct InvalidCase {
  const char* what;
  std::string text;
};

TEST(BlockReaderTest, RefusesWhatIsNotAWholeSoundBlock) {
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
      {.what = "limit too large", .text = Block{.limit = "2147483648"}.text()},
      {.what = "limit too small", .text = Block{.limit = "-2147483649"}.text()},
      {.what = "limit with a zero first", .text = Block{.limit = "010"}.text()},
      {.what = "limit with a plus", .text = Block{.limit = "+1"}.text()},
      {.what = "limit minus zero", .text = Block{.limit = "-0"}.text()},
      {.what = "limit of 22 digits", .text = Block{.limit = "9999999999999999999999"}.text()},
      {.what = "rating not whole", .text = Block{.rating = "1.5"}.text()},
      {.what = "no rating", .text = Block{.rating = ""}.text()},
      {.what = "rating and a minus", .text = Block{.rating = "1-"}.text()},
      {.what = "more right than problems", .text = Block{.right = 21}.text()},
      {.what = "grade of another percent", .text = replaced(good, "90% / A", "90% / B")},
      {.what = "percent not right times 5", .text = replaced(good, "grade 90%", "grade 85%")},
      {.what = "other problem count", .text = replaced(good, "out of 20", "out of 21")},
      {.what = "one space in the description",
       .text = replaced(good, "20  problems", "20 problems")},
      {.what = "heading changed", .text = replaced(good, "Ending time:    ", "Ending time:   ")},
      {.what = "CR without LF", .text = replaced(good, "Ann:\r\n", "Ann:\r")},
      {.what = "two CRs", .text = replaced(good, "Ann:\r\n", "Ann:\r\r\n")},
      {.what = "text after a field", .text = replaced(good, "through 10", "through 10 ")},
      {.what = "cut in the last line", .text = good.substr(0, good.size() - 3)},
      {.what = "no line end at the end", .text = good.substr(0, good.size() - 2)},
      {.what = "a line missing", .text = replaced(good, "Addend limits 0 through 10\r\n", "")},
      {.what = "a byte-order mark inside", .text = replaced(good, "Test", "\xEF\xBB\xBFTest")},
  };
  for (const InvalidCase& c : cases) {
    const Reading reading = read_all(c.text + "trailing text\n");
    EXPECT_TRUE(reading.tests.empty()) << c.what;
    EXPECT_EQ(reading.counts.skipped_lines, reading.counts.lines) << c.what;
  }
}

struct TimeCase {
  std::string_view text;
  bool valid = false;
  text::CivilTime time = {};  // what is read when valid
};

TEST(BlockReaderTest, ReadsTimestampsAndChecksTheirDates) {
  const TimeCase cases[] = {
      {.text = "Tue Dec 08 10:04:05 2026",
       .valid = true,
       .time = {.year = 2026,
                .month = 12,
                .day = 8,
                .hour = 10,
                .minute = 4,
                .second = 5,
                .weekday = 2}},
      {.text = "Thu Jan 01 00:00:00 1970",
       .valid = true,
       .time = {.year = 1970, .month = 1, .day = 1, .weekday = 4}},
      {.text = "Sun Dec 31 23:59:60 2028",
       .valid = true,
       .time = {.year = 2028,
                .month = 12,
                .day = 31,
                .hour = 23,
                .minute = 59,
                .second = 60,
                .weekday = 0}},
      {.text = "Tue Feb 29 12:00:00 2000",
       .valid = true,
       .time = {.year = 2000, .month = 2, .day = 29, .hour = 12, .weekday = 2}},
      {.text = "Thu Feb 29 12:00:00 2024",
       .valid = true,
       .time = {.year = 2024, .month = 2, .day = 29, .hour = 12, .weekday = 4}},
      // "%4d" years: short ones padded with spaces, long ones as they are.
      {.text = "Thu Jan 01 00:00:00   99",
       .valid = true,
       .time = {.year = 99, .month = 1, .day = 1, .weekday = 4}},
      {.text = "Tue Dec 08 10:04:00 12026",
       .valid = true,
       .time = {.year = 12026, .month = 12, .day = 8, .hour = 10, .minute = 4, .weekday = 2}},
      {.text = "Wed Mar 01 00:00:00   -5",
       .valid = true,
       .time = {.year = -5, .month = 3, .day = 1, .weekday = 3}},
      {.text = "Sat Jan 01 00:00:00    0",
       .valid = true,
       .time = {.year = 0, .month = 1, .day = 1, .weekday = 6}},
      {.text = "??? ??? ?? ??:??:?? ????", .valid = true, .time = {}},
      {.text = "Wed Dec 08 10:04:00 2026"},  // Dec 8, 2026 is a Tuesday
      {.text = "Thu Feb 29 12:00:00 1900"},  // 1900 had no Feb 29
      {.text = "Sun Feb 29 12:00:00 2026"},
      {.text = "Wed Apr 31 12:00:00 2026"},
      {.text = "Tue Dec 00 10:04:00 2026"},
      {.text = "Tue Dec 08 24:00:00 2026"},
      {.text = "Tue Dec 08 10:60:00 2026"},
      {.text = "Tue Dec 08 10:04:61 2026"},
      {.text = "Tue Dec  8 10:04:00 2026"},  // the day is "%02d"
      {.text = "tue Dec 08 10:04:00 2026"},
      {.text = "Tue DEC 08 10:04:00 2026"},
      {.text = "Tue Dec 08 10:04:00 02026"},
      {.text = "Tue Dec 08 10:04:00  2026"},
      {.text = "Thu Jan 01 00:00:00 0099"},  // no zeros before a year
      {.text = "Tue Dec 08 10:04:00 2026 "},
      {.text = "Tue Dec 08 10:04 2026"},
      {.text = "??? ??? ?? ??:??:?? 2026"},
      {.text = "Tue Dec 08 10:04:00 1234567890123456789"},  // more than 18 digits
      {.text = ""},
  };
  for (const TimeCase& c : cases) {
    const std::optional<LoggedTest> test = read_one(Block{.start = std::string(c.text)}.text());
    ASSERT_EQ(test.has_value(), c.valid) << c.text;
    if (!c.valid) continue;
    const text::CivilTime& time = test->start;
    EXPECT_EQ(time.known(), c.time.month != 0) << c.text;
    EXPECT_EQ(time.year, c.time.year) << c.text;
    EXPECT_EQ(time.month, c.time.month) << c.text;
    EXPECT_EQ(time.day, c.time.day) << c.text;
    EXPECT_EQ(time.hour, c.time.hour) << c.text;
    EXPECT_EQ(time.minute, c.time.minute) << c.text;
    EXPECT_EQ(time.second, c.time.second) << c.text;
    EXPECT_EQ(time.weekday, c.time.weekday) << c.text;
  }
}

struct ElapsedCase {
  std::string_view text;
  bool valid = false;
  double seconds = 0;
};

TEST(BlockReaderTest, ReadsElapsedTimesAsPercentGWritesWholeSeconds) {
  const ElapsedCase cases[] = {
      {.text = "0", .valid = true, .seconds = 0},
      {.text = "95", .valid = true, .seconds = 95},
      {.text = "-5", .valid = true, .seconds = -5},
      {.text = "999999", .valid = true, .seconds = 999999},
      {.text = "1e+06", .valid = true, .seconds = 1e6},
      {.text = "-1e+06", .valid = true, .seconds = -1e6},
      {.text = "1.23457e+06", .valid = true, .seconds = 1234570},
      // The drill's clock differences stay within 2^63 seconds, about
      // 9.2234e+18, in size.
      {.text = "9.22337e+18", .valid = true, .seconds = 9.22337e18},
      {.text = "-9.22337e+18", .valid = true, .seconds = -9.22337e18},
      {.text = "9.22338e+18"},
      {.text = "-9.22338e+18"},
      {.text = "9.99999e+18"},
      {.text = "1e+100"},
      {.text = "1.79769e+308"},
      {.text = "-1.79769e+308"},
      {.text = "1000000"},  // "%g" switches to the exponent at a million
      {.text = "-0"},
      {.text = "095"},
      {.text = "95.0"},
      {.text = "1e+05"},  // below a million "%g" writes digits
      {.text = "1e6"},
      {.text = "1e+6"},
      {.text = "1e-06"},
      {.text = "1.e+06"},
      {.text = "1.50e+06"},      // "%g" drops trailing zeros
      {.text = "1.234567e+06"},  // six significant digits at most
      {.text = "0.5e+06"},
      {.text = "12e+06"},
      {.text = "1e+006"},
      {.text = "+1e+06"},
      {.text = "2e+308"},  // beyond the largest double
      {.text = "inf"},
      {.text = "nan"},
      {.text = ""},
      {.text = "-"},
  };
  for (const ElapsedCase& c : cases) {
    const std::optional<LoggedTest> test = read_one(Block{.elapsed = std::string(c.text)}.text());
    ASSERT_EQ(test.has_value(), c.valid) << c.text;
    if (!c.valid) continue;
    EXPECT_EQ(test->elapsed, c.text);
    EXPECT_DOUBLE_EQ(test->elapsed_seconds, c.seconds) << c.text;
  }
}

TEST(BlockReaderTest, ReadsTheDrillsLogWhole) {
  const Reading reading = read_all(testing_support::testdata("records.txt"));
  ASSERT_EQ(reading.tests.size(), 14u);
  EXPECT_EQ(reading.tests[0].name, "Ann");
  EXPECT_EQ(reading.tests[0].right, 14);
  EXPECT_EQ(reading.tests[3].name, "O'Neil,\"Jo\"");
  EXPECT_EQ(reading.tests[13].first_line, 118u);
  EXPECT_EQ(reading.tests[13].right, 20);
  EXPECT_EQ(reading.counts.lines, 126u);
  EXPECT_EQ(reading.counts.skipped_lines, 0u);
  EXPECT_EQ(reading.counts.skipped_ranges, 0u);
}

// damaged.txt is records.txt's blocks with damage between them; see
// progress/testdata/make_records.sh for what lies on which line.
TEST(BlockReaderTest, SkipsDamageAndKeepsTheLinesOfWhatItSkipped) {
  const std::string input = testing_support::testdata("damaged.txt");
  // The same whatever the pieces the file comes in.
  for (const std::size_t piece :
       {std::size_t{1}, std::size_t{7}, std::size_t{100}, std::size_t{4097}, input.size()}) {
    const Reading reading = read_all(input, piece);
    ASSERT_EQ(reading.tests.size(), 4u) << piece;
    EXPECT_EQ(reading.tests[0].first_line, 2u) << piece;
    EXPECT_EQ(reading.tests[1].first_line, 15u) << piece;
    EXPECT_EQ(reading.tests[1].name, "Zoë") << piece;
    EXPECT_EQ(reading.tests[2].first_line, 25u) << piece;
    EXPECT_EQ(reading.tests[3].first_line, 44u) << piece;
    const ReadCounts& counts = reading.counts;
    EXPECT_EQ(counts.lines, 55u) << piece;
    EXPECT_EQ(counts.skipped_lines, 19u) << piece;
    EXPECT_EQ(counts.skipped_ranges, 5u) << piece;
    EXPECT_EQ(ranges(counts),
              (std::vector<LineRange>{{1, 1}, {11, 14}, {24, 24}, {34, 43}, {53, 55}}))
        << piece;
  }
}

TEST(BlockReaderTest, TakesLineEndsLineByLine) {
  std::string mixed = Block{.line_end = "\n"}.text();
  mixed = replaced(mixed, "-\n", "-\r\n");
  mixed = replaced(mixed, "2026\n", "2026\r\n");
  const Reading reading = read_all(mixed + Block{.name = "Bob"}.text());
  EXPECT_EQ(names(reading), (std::vector<std::string>{"Ann", "Bob"}));
  EXPECT_EQ(reading.counts.skipped_lines, 0u);
}

TEST(BlockReaderTest, StartsAgainAtASeparatorInsideABlock) {
  const std::string block = Block{.name = "Cut"}.text();
  const std::string cut = block.substr(0, block.find("Tue") + 3);  // two lines and a bit
  const Reading reading = read_all(cut + "\r\n" + Block{.name = "Whole"}.text());
  EXPECT_EQ(names(reading), (std::vector<std::string>{"Whole"}));
  EXPECT_EQ(reading.tests[0].first_line, 4u);
  EXPECT_EQ(ranges(reading.counts), (std::vector<LineRange>{{1, 3}}));
}

// The drill starts its block with CR LF when the file does not end in a
// line end, so a file cut anywhere loses at most its cut line and what it
// belongs to: the new block is read.
TEST(BlockReaderTest, ReadsABlockAppendedToAFileCutAnywhere) {
  const std::string block = Block{.name = "Old"}.text();
  const std::string appended = Block{.name = "New"}.text();
  for (std::size_t cut = 0; cut <= block.size(); ++cut) {
    std::string log = block.substr(0, cut);
    if (!log.empty() && !log.ends_with('\n')) log += "\r\n";
    const Reading reading = read_all(log + appended, 5);
    ASSERT_FALSE(reading.tests.empty()) << cut;
    EXPECT_EQ(reading.tests.back().name, "New") << cut;
    // Cut just before its last line end, the old block is made whole again.
    const bool old_whole = cut == block.size() || cut == block.size() - 2;
    EXPECT_EQ(reading.tests.size(), old_whole ? 2u : 1u) << cut;
  }
}

TEST(BlockReaderTest, PassesOverAByteOrderMarkAtTheStart) {
  const std::string windows = std::string(kByteOrderMark) + Block{}.text() + Block{}.text();
  const Reading reading = read_all(windows, 2);
  EXPECT_EQ(reading.tests.size(), 2u);
  EXPECT_EQ(reading.counts.skipped_lines, 0u);
  const Reading twice = read_all(std::string(kByteOrderMark) + windows);
  EXPECT_EQ(twice.tests.size(), 1u) << "only one mark is passed over";
}

TEST(BlockReaderTest, JoinsSkippedLinesThatFollowEachOther) {
  const std::string broken = Block{.right = 21}.text();  // percent 105: no such block
  const Reading reading = read_all("foreign\n" + broken + "\n" + Block{}.text() + "x\n");
  ASSERT_EQ(reading.tests.size(), 1u);
  EXPECT_EQ(ranges(reading.counts), (std::vector<LineRange>{{1, 11}, {21, 21}}));
  EXPECT_EQ(reading.counts.skipped_lines, 12u);
}

TEST(BlockReaderTest, CountsEveryStretchButKeepsTheFirstFive) {
  std::string input;
  for (int i = 0; i < 7; ++i) input += "noise " + std::to_string(i) + "\n" + Block{}.text();
  const Reading reading = read_all(input);
  EXPECT_EQ(reading.tests.size(), 7u);
  EXPECT_EQ(reading.counts.skipped_ranges, 7u);
  EXPECT_EQ(ranges(reading.counts),
            (std::vector<LineRange>{{1, 1}, {11, 11}, {21, 21}, {31, 31}, {41, 41}}));
}

TEST(BlockReaderTest, PassesOverLinesLongerThanAnyBlockLine) {
  const std::string input = Block{.name = "Before"}.text() + std::string(3'000'000, '-') + "\n" +
                            Block{.name = "After"}.text() + std::string(kMaxLineLength + 1, 'x');
  for (const std::size_t piece : {std::size_t{1000}, std::size_t{65536}, input.size()}) {
    const Reading reading = read_all(input, piece);
    EXPECT_EQ(names(reading), (std::vector<std::string>{"Before", "After"})) << piece;
    EXPECT_EQ(reading.tests[1].first_line, 11u) << piece;
    EXPECT_EQ(ranges(reading.counts), (std::vector<LineRange>{{10, 10}, {20, 20}})) << piece;
  }
}

TEST(BlockReaderTest, SkipsABlockCutAtTheEnd) {
  const std::string block = Block{}.text();
  const Reading reading = read_all(block + block.substr(0, block.size() - 1));
  EXPECT_EQ(reading.tests.size(), 1u);
  EXPECT_EQ(ranges(reading.counts), (std::vector<LineRange>{{10, 18}}));
  EXPECT_EQ(reading.counts.lines, 18u);
}

TEST(BlockReaderTest, ReadsNothingFromNothing) {
  const Reading reading = read_all("");
  EXPECT_TRUE(reading.tests.empty());
  EXPECT_EQ(reading.counts.lines, 0u);
  EXPECT_EQ(reading.counts.skipped_ranges, 0u);
}

// The fingerprints of the blocks of `text`, read `piece` bytes at a time.
std::vector<Fingerprint> fingerprints(std::string_view text, std::size_t piece,
                                      FingerprintKey key = {.first = 1, .second = 2}) {
  BlockReader reader;
  reader.make_fingerprints(key);
  std::vector<Fingerprint> made;
  for (std::size_t at = 0; at < text.size(); at += piece) {
    reader.add(text.substr(at, piece));
    while (const LoggedTest* test = reader.next()) made.push_back(test->fingerprint);
  }
  reader.finish();
  return made;
}

TEST(BlockReaderTest, FingerprintsBlocksByTheirLines) {
  const Block base{};
  // Blocks that differ from the first in one line each, then the first with
  // LF line ends, then the first again.
  const Block others[] = {
      {.site = "other.example"},
      {.name = "Anne"},
      {.end = "Tue Dec 08 10:04:01 2026"},
      {.start = "Tue Dec 08 09:59:59 2026"},
      {.elapsed = "241"},
      {.limit = "11"},
      {.signs = "x/"},
      {.right = 17},
      {.rating = "7"},
  };
  std::string text = base.text();
  for (const Block& other : others) text += other.text();
  text += Block{.line_end = "\n"}.text() + base.text();
  for (std::size_t piece : {std::size_t{1}, std::size_t{7}, text.size()}) {
    const std::vector<Fingerprint> made = fingerprints(text, piece);
    ASSERT_EQ(made.size(), 12u);
    for (std::size_t i = 1; i < 10; ++i) EXPECT_NE(made[i], made[0]) << "block " << i;
    EXPECT_EQ(made[10], made[0]) << "line ends are not part of a line";
    EXPECT_EQ(made[11], made[0]);
    EXPECT_EQ(made, fingerprints(text, 4096)) << "pieces of " << piece;
  }
  // Another run draws another key: the same blocks get other fingerprints.
  EXPECT_NE(fingerprints(text, 4096), fingerprints(text, 4096, {.first = 1, .second = 3}));
  EXPECT_EQ(read_all(base.text()).tests.at(0).fingerprint, Fingerprint{}) << "none unless asked";
}

}  // namespace
}  // namespace records

namespace records {
namespace {

// Everything a reading gives, as one comparable text: each test's facts,
// first line and fingerprint, then the counts.
std::string reading_text(std::string_view input, bool exact_lines_only) {
  BlockReader reader;
  reader.make_fingerprints({.first = 3, .second = 4});
  if (exact_lines_only) reader.exact_lines_only();
  reader.add(input);
  std::string text;
  while (const LoggedTest* test = reader.next()) {
    text += std::string(test->site) + "|" + std::string(test->name) + "|" +
            std::string(test->elapsed) + "|" + std::to_string(test->end.year) + "-" +
            std::to_string(test->end.month) + "-" + std::to_string(test->end.day) + " " +
            std::to_string(test->end.hour) + ":" + std::to_string(test->end.minute) + ":" +
            std::to_string(test->end.second) + "|" + std::to_string(test->start.hour) + ":" +
            std::to_string(test->start.minute) + ":" + std::to_string(test->start.second) + "|" +
            std::to_string(test->addend_limit) + "|" + std::string(signs(test->operations).view()) +
            "|" + std::to_string(test->right) + "|" + std::to_string(test->rating) + "|" +
            std::to_string(test->first_line) + "|" + std::to_string(test->fingerprint.low) + "." +
            std::to_string(test->fingerprint.high) + "\n";
  }
  const ReadCounts& counts = reader.finish();
  text += std::to_string(counts.tests) + " " + std::to_string(counts.lines) + " " +
          std::to_string(counts.skipped_lines) + " " + std::to_string(counts.skipped_ranges);
  for (const LineRange& range : ranges(counts)) {
    text += " " + std::to_string(range.first) + "-" + std::to_string(range.last);
  }
  return text;
}

// The whole-block fast path takes a block only as the line reader would:
// every byte of a block that follows another is changed, dropped or
// doubled in turn, and both readers must give the same tests and counts.
TEST(BlockReaderFastPathTest, ReadsWhatTheLineReaderReadsWhateverByteChanges) {
  // Names whose line end falls inside and just outside the sixteen bytes
  // that the fast path looks at first for it.
  for (const auto& [line_end, name] :
       {std::pair{"\r\n", "Zo\xc3\xab:x"}, std::pair{"\r\n", "fourteen-bytes"},
        std::pair{"\n", "fifteen--bytes:"}}) {
    Block first{.line_end = std::string(line_end)};
    Block second{.name = name,
                 .end = "Tue Dec 08 10:09:07 2026",
                 .start = "Tue Dec 08 10:07:00 2026",
                 .elapsed = "127",
                 .signs = "x/",
                 .right = 20,
                 .rating = "-3",
                 .line_end = std::string(line_end)};
    const std::string head = first.text();
    const std::string block = second.text();
    const std::string tail = first.text();
    ASSERT_EQ(reading_text(head + block + tail, false), reading_text(head + block + tail, true));
    for (std::size_t at = 0; at < block.size(); ++at) {
      for (const char changed : {'X', '0', '9', '-', ' ', '\r', '\n', ':', '\0', '\x01'}) {
        std::string mutated = block;
        if (mutated[at] == changed) continue;
        mutated[at] = changed;
        const std::string log = head + mutated + tail;
        ASSERT_EQ(reading_text(log, false), reading_text(log, true))
            << "byte " << at << " made " << static_cast<int>(changed);
      }
      std::string dropped = block;
      dropped.erase(at, 1);
      ASSERT_EQ(reading_text(head + dropped + tail, false),
                reading_text(head + dropped + tail, true))
          << "byte " << at << " dropped";
      std::string doubled = block;
      doubled.insert(at, 1, block[at]);
      ASSERT_EQ(reading_text(head + doubled + tail, false),
                reading_text(head + doubled + tail, true))
          << "byte " << at << " doubled";
    }
  }
}

}  // namespace
}  // namespace records

namespace records {
namespace {

// Two logs saved by a Windows editor and joined: the second one's mark
// stands before its first separator line.
TEST(BlockReaderByteOrderMarkTest, PassesOverAMarkBeforeASeparatorLineAnywhere) {
  const std::string first = Block{.name = "Ann"}.text();
  const std::string second = Block{.name = "Bob"}.text();
  const std::string joined =
      std::string(kByteOrderMark) + first + std::string(kByteOrderMark) + second;
  for (const std::size_t piece : {std::size_t{4096}, std::size_t{7}, std::size_t{1}}) {
    const Reading reading = read_all(joined, piece);
    EXPECT_EQ(names(reading), (std::vector<std::string>{"Ann", "Bob"})) << piece;
    EXPECT_EQ(reading.counts.skipped_lines, 0u) << piece;
  }
  // Elsewhere a mark is text like any other.
  const std::string inside =
      replaced(second, "Test results", std::string(kByteOrderMark) + "Test results");
  EXPECT_EQ(names(read_all(first + inside)), (std::vector<std::string>{"Ann"}));
}

// A first line with a mark, as long as the longest line the reader takes,
// is read the same whatever pieces it comes in.
TEST(BlockReaderByteOrderMarkTest, ALongFirstLineAfterAMarkReadsTheSameInPieces) {
  const std::string site(kMaxLineLength - kSeparatorHead.size() - kSeparatorTail.size(), 's');
  const std::string log = std::string(kByteOrderMark) + Block{.site = site}.text();
  const Reading whole = read_all(log, log.size());
  ASSERT_EQ(whole.tests.size(), 1u);
  for (const std::size_t piece : {std::size_t{4096}, std::size_t{97}, std::size_t{1}}) {
    EXPECT_EQ(read_all(log, piece).tests.size(), 1u) << piece;
  }
}

}  // namespace
}  // namespace records
