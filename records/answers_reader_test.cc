#include "records/answers_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "records/format.h"
#include "tests/support/answers_lines.h"

namespace records {
namespace {

using Line = testing_support::AnswerLine;

// What reading a whole input gave: each answer's texts copied out, as its
// views last only until the next answer.
struct Reading {
  std::vector<Answer> answers;
  std::vector<std::string> starts;
  std::vector<std::string> names;
  ReadCounts counts;
};

// Reads all of `input`, given to the reader `piece` bytes at a time.
Reading read_all(std::string_view input, std::size_t piece = 4096) {
  AnswersReader reader;
  Reading reading;
  for (std::size_t at = 0; at < input.size(); at += piece) {
    reader.add(input.substr(at, piece));
    while (const Answer* answer = reader.next()) {
      reading.answers.push_back(*answer);
      reading.starts.emplace_back(answer->started);
      reading.names.emplace_back(answer->name);
    }
  }
  reading.counts = reader.finish();
  return reading;
}

TEST(AnswersReaderTest, ReadsEveryFieldOfALine) {
  const Reading reading =
      read_all(testing_support::answers_header() + Line{.operations = "multiplication/division",
                                                        .operation = "division",
                                                        .first = 56,
                                                        .second = 8,
                                                        .correct = 7,
                                                        .answer = 6,
                                                        .milliseconds = 3001}
                                                       .text());
  ASSERT_EQ(reading.answers.size(), 1u);
  const Answer& answer = reading.answers[0];
  EXPECT_EQ(reading.starts[0], "2026-12-08T10:00:00");
  EXPECT_EQ(reading.names[0], "Ann");
  EXPECT_EQ(answer.operations,
            Operations::only(Operation::multiplication).with(Operation::division));
  EXPECT_EQ(answer.limit, 10);
  EXPECT_EQ(answer.problem, 1);
  EXPECT_EQ(answer.operation, Operation::division);
  EXPECT_EQ(answer.first, 56);
  EXPECT_EQ(answer.second, 8);
  EXPECT_EQ(answer.correct, 7);
  EXPECT_EQ(answer.answer, 6);
  EXPECT_FALSE(answer.right);
  EXPECT_EQ(answer.milliseconds, 3001u);
  EXPECT_EQ(answer.line, 2u);
  EXPECT_EQ(reading.counts.skipped_lines, 0u);
}

// A name is read back as records.txt logs it, whatever guard and quotes
// answers.csv gave it, and whatever the pieces the file comes in.
TEST(AnswersReaderTest, ReadsNamesBackAsLogged) {
  const std::string names[] = {"=SUM(A1)", "O'Neil,\"Jo\"", "'quoted", "-1", "a;b",
                               "@x",       "Zoë",           "+",       "\"", "",
                               "x;=1+2;",  "a;'b;;-c",      "';'"};
  std::string input = "\xEF\xBB\xBF" + testing_support::answers_header();
  for (const std::string& name : names) input += Line{.name = name, .line_end = "\n"}.text();
  for (const std::size_t piece : {std::size_t{1}, std::size_t{7}, std::size_t{4096}}) {
    const Reading reading = read_all(input, piece);
    EXPECT_EQ(reading.names, std::vector<std::string>(std::begin(names), std::end(names))) << piece;
    EXPECT_EQ(reading.counts.skipped_lines, 0u) << piece;
  }
}

struct BadCase {
  const char* what;
  std::string line;
};

TEST(AnswersReaderTest, SkipsLinesWithoutTwelveValidFields) {
  const std::string good = Line{}.text();
  const std::string long_name(kMaxNameLength + 1, 'n');
  const BadCase cases[] = {
      {.what = "eleven fields",
       .line = "2026-12-08T10:00:00,Ann,addition,10,1,addition,1,2,3,3,1\r\n"},
      {.what = "thirteen fields", .line = good.substr(0, good.size() - 2) + ",1\r\n"},
      {.what = "wrong correct", .line = Line{.correct = 9, .answer = 9}.text()},
      {.what = "right but wrong answer",
       .line = "2026-12-08T10:00:00,Ann,addition,10,1,addition,1,2,3,4,1,5\r\n"},
      {.what = "operation not in test", .line = Line{.operations = "addition"}.text()},
      {.what = "operations out of order",
       .line = Line{.operations = "subtraction/addition"}.text()},
      {.what = "problem 21", .line = Line{.problem = 21}.text()},
      {.what = "problem 0", .line = Line{.problem = 0}.text()},
      {.what = "month 13", .line = Line{.started = "2026-13-08T10:00:00"}.text()},
      {.what = "date shape", .line = Line{.started = "2026-12-08 10:00:00"}.text()},
      {.what = "name too long", .line = Line{.name = long_name}.text()},
      {.what = "name with space", .line = Line{.name = "a b"}.text()},
      {.what = "guard before letter",
       .line = "2026-12-08T10:00:00,'Ann,addition,10,1,addition,1,2,3,3,1,5\r\n"},
      {.what = "guard before letter after ';'",
       .line = "2026-12-08T10:00:00,\"A;'nn\",addition,10,1,addition,1,2,3,3,1,5\r\n"},
      {.what = "guard at the end",
       .line = "2026-12-08T10:00:00,\"Ann;'\",addition,10,1,addition,1,2,3,3,1,5\r\n"},
      {.what = "unclosed quote",
       .line = "2026-12-08T10:00:00,\"Ann,addition,10,1,addition,1,2,3,3,1,5\r\n"},
      {.what = "division by 0",
       .line = Line{.operations = "division",
                    .operation = "division",
                    .first = 0,
                    .second = 0,
                    .correct = 0}
                   .text()},
      {.what = "negative milliseconds",
       .line = "2026-12-08T10:00:00,Ann,addition,10,1,addition,1,2,3,3,1,-5\r\n"},
      {.what = "plus sign",
       .line = "2026-12-08T10:00:00,Ann,addition,10,1,addition,+1,2,3,3,1,5\r\n"},
      {.what = "empty line", .line = "\r\n"},
  };
  for (const BadCase& c : cases) {
    const Reading reading = read_all(testing_support::answers_header() + good + c.line + good);
    EXPECT_EQ(reading.answers.size(), 2u) << c.what;
    EXPECT_EQ(reading.counts.skipped_lines, 1u) << c.what;
    EXPECT_EQ(reading.counts.first_ranges[0], (LineRange{.first = 3, .last = 3})) << c.what;
  }
}

// A line of the test read last is read in one pass; any other line is
// split into its fields first. Both ways read the same, and skip the same.
// The one pass reads a line in place when enough of the piece follows it
// that its digits cannot run past the piece (a long line after it), and
// else from the line found first (a cut line of digits after it).
TEST(AnswersReaderTest, ReadsALineOfTheTestReadLastAsAnyOther) {
  const std::string head = "2026-12-08T10:00:00,Ann,addition/subtraction,10,";
  struct Case {
    std::string_view problem;
    bool sound;
  };
  const Case cases[] = {
      {.problem = "2,subtraction,15,7,8,8,1,2140", .sound = true},
      {.problem = "20,subtraction,-5,-7,2,2,1,4294967295", .sound = true},
      {.problem = "2,addition,2147483647,1,2147483648,1,0,5", .sound = true},
      {.problem = "2,subtraction,015,7,8,8,1,2140", .sound = false},  // a leading zero
      {.problem = "2,addition,-0,7,7,7,1,0", .sound = false},
      {.problem = "2,addition,3,4,7,7,1,", .sound = false},
      {.problem = "2,addition,3,4,7,7,1,5,", .sound = false},
      {.problem = "2,\"addition\",3,4,7,7,1,5", .sound = true},  // quoted, as RFC 4180 allows
      // Numbers of nine digits are read in one pass, longer ones as fields.
      {.problem = "2,addition,999999999,1,1000000000,1000000000,1,999999999", .sound = true},
      {.problem = "2,addition,1000000000,1,1000000001,1000000001,1,1000000000", .sound = true},
      {.problem = "2,subtraction,-999999999,1,-1000000000,0,0,5", .sound = true},
      {.problem = "2,addition,1,2,3,3,1,99999999999999999999999999", .sound = false},
      {.problem = "2,addition,0,0,0,0,1,0", .sound = true},
      {.problem = "2,addition,0,0,0,-0,0,0", .sound = false},
      {.problem = "2,addition,0,0,0,00,0,0", .sound = false},
      {.problem = "2,addition,3,4,7,7,01,5", .sound = false},
      {.problem = "02,addition,3,4,7,7,1,5", .sound = false},
      {.problem = "-2,addition,3,4,7,7,1,5", .sound = false},
      {.problem = "2,addition,3,4,7,7,-1,5", .sound = false},
      {.problem = "2,addition,3,4,7,7,1,-5", .sound = false},
      {.problem = "2,addition,3,4,7,8,-0,5", .sound = false},
      {.problem = "2,addition,3,4,7,7,2,5", .sound = false},
      {.problem = "2,addition,3,4,7,7,1x,5", .sound = false},
      {.problem = "2,addition,3,4,7,7,,5", .sound = false},
      {.problem = "2,addition,3,4,7,8,0,5", .sound = true},
      {.problem = "2,addition,3,4,7,7,1,5x", .sound = false},
      {.problem = "2,addition,3,4,7,7,1,4294967296", .sound = false},
      {.problem = "2,additio,3,4,7,7,1,5", .sound = false},
      {.problem = "2,additionn,3,4,7,7,1,5", .sound = false},
      {.problem = "2,subtraction", .sound = false},
      {.problem = "2,subtraction,7,9,-2,-2,1,5", .sound = true},
      {.problem = "2,subtraction,42,7,35,34,0,5", .sound = true},
      {.problem = "2,multiplication,6,7,42,42,1,5", .sound = false},  // not the test's
      {.problem = "2,d", .sound = false},
      {.problem = "2,", .sound = false},
      {.problem = "2", .sound = false},
  };
  // Pieces of one byte put every line together in the reader's own room.
  for (const std::size_t piece : {std::size_t{4096}, std::size_t{1}}) {
    for (const Case& c : cases) {
      const std::string line = head + std::string(c.problem) + "\r\n";
      const Reading alone = read_all(line, piece);
      const Reading after = read_all(Line{}.text() + line, piece);
      const Reading in_place =
          read_all(Line{}.text() + line + std::string(200, 'x') + "\r\n", piece);
      const Reading before_digits = read_all(Line{}.text() + line + std::string(200, '7'), piece);
      ASSERT_EQ(alone.answers.size(), c.sound ? 1u : 0u) << c.problem;
      ASSERT_EQ(after.answers.size(), c.sound ? 2u : 1u) << c.problem;
      ASSERT_EQ(in_place.answers.size(), after.answers.size()) << c.problem;
      ASSERT_EQ(before_digits.answers.size(), after.answers.size()) << c.problem;
      EXPECT_EQ(in_place.counts.skipped_lines, after.counts.skipped_lines + 1) << c.problem;
      if (!c.sound) continue;
      const Answer& a = alone.answers[0];
      for (const Reading* reading : {&after, &in_place, &before_digits}) {
        const Answer& b = reading->answers[1];
        EXPECT_EQ(std::tie(a.problem, a.operation, a.first, a.second, a.correct, a.answer, a.right,
                           a.milliseconds, a.limit, a.started_key, a.fingerprint),
                  std::tie(b.problem, b.operation, b.first, b.second, b.correct, b.answer, b.right,
                           b.milliseconds, b.limit, b.started_key, b.fingerprint))
            << c.problem;
      }
    }
  }
}

// The test's fields are read once a test and handed out with each of its
// answers, until a line of another test, also after lines skipped between.
TEST(AnswersReaderTest, HandsOutEachAnswerWithItsOwnTest) {
  const Line bo{.started = "2026-12-08T10:05:00",
                .name = "Bo",
                .operations = "subtraction",
                .limit = 20,
                .operation = "subtraction",
                .first = 9,
                .second = 2,
                .correct = 7,
                .answer = 7};
  Line bo_third = bo;
  bo_third.problem = 3;
  const Reading reading =
      read_all(Line{.problem = 1}.text() + "x\r\n" + Line{.problem = 2}.text() + bo.text() +
               "2026-12-08T10:09:00,Cy,addition,10,1,addition,1,2,3,3,1,x\r\n" + bo_third.text());
  ASSERT_EQ(reading.answers.size(), 4u);
  const std::vector<std::string> names = {"Ann", "Ann", "Bo", "Bo"};
  const std::vector<std::string> starts = {"2026-12-08T10:00:00", "2026-12-08T10:00:00",
                                           "2026-12-08T10:05:00", "2026-12-08T10:05:00"};
  EXPECT_EQ(reading.names, names);
  EXPECT_EQ(reading.starts, starts);
  EXPECT_EQ(reading.answers[1].limit, 10);
  EXPECT_EQ(reading.answers[3].limit, 20);
  EXPECT_EQ(reading.answers[3].operations, Operations::only(Operation::subtraction));
  EXPECT_EQ(reading.answers[3].problem, 3);
  EXPECT_EQ(reading.answers[2].fingerprint, reading.answers[3].fingerprint);
  EXPECT_EQ(reading.counts.skipped_lines, 2u);
}

TEST(AnswersReaderTest, CountsSkippedLinesAsRanges) {
  const std::string good = Line{}.text();
  const Reading reading =
      read_all(testing_support::answers_header() + good + "x\r\ny\r\n" + good + "z\r\n" + good +
               std::string(5000, 'a') + "\n" + good.substr(0, good.size() - 2));
  EXPECT_EQ(reading.answers.size(), 3u);  // not the last, cut before its line end
  EXPECT_EQ(reading.counts.skipped_lines, 5u);
  EXPECT_EQ(reading.counts.skipped_ranges, 3u);
  EXPECT_EQ(reading.counts.first_ranges[0], (LineRange{.first = 3, .last = 4}));
  EXPECT_EQ(reading.counts.first_ranges[1], (LineRange{.first = 6, .last = 6}));
  EXPECT_EQ(reading.counts.first_ranges[2], (LineRange{.first = 8, .last = 9}));
}

TEST(AnswersReaderTest, FingerprintNamesTheTest) {
  const Reading reading =
      read_all(Line{.problem = 1}.text() + Line{.problem = 2, .first = 9, .second = 1}.text() +
               Line{.started = "2026-12-08T10:05:00"}.text() + Line{.name = "Bo"}.text() +
               Line{.limit = 11}.text());
  ASSERT_EQ(reading.answers.size(), 5u);
  EXPECT_EQ(reading.answers[0].fingerprint, reading.answers[1].fingerprint);
  for (std::size_t other = 2; other < 5; ++other) {
    EXPECT_NE(reading.answers[0].fingerprint, reading.answers[other].fingerprint) << other;
  }
  EXPECT_LT(reading.answers[0].started_key, reading.answers[2].started_key);
}

// Children take turns: a child's next test differs from its last in its
// start alone, and is read from the head kept of that test. Each answer
// is read as its line alone reads, fingerprint included, and a start that
// is no time is skipped as it is alone.
TEST(AnswersReaderTest, ReadsTheNextTestsOfChildrenTakingTurnsAsLinesAlone) {
  const std::vector<Line> lines = {
      Line{.started = "2026-12-08T10:00:00", .name = "Ann", .problem = 1},
      Line{.started = "2026-12-08T10:00:00", .name = "Ann", .problem = 2},
      Line{.started = "2026-12-08T10:01:00", .name = "O'Neil,\"Jo\"", .limit = 12},
      Line{.started = "2026-12-08T10:02:00", .name = "Ann", .problem = 1},
      Line{.started = "2026-12-08T10:03:00", .name = "O'Neil,\"Jo\"", .limit = 12},
      Line{.started = "2026-12-08T10:03:00", .name = "O'Neil,\"Jo\"", .limit = 13},
      Line{.started = "2026-13-08T10:04:00", .name = "Ann", .problem = 1},
      Line{.started = "2026-12-08T10:05:00", .name = "Ann", .problem = 1, .answer = 9},
      Line{.started = "2026-12-08T10:06:00", .name = "O'Neil,\"Jo\"", .limit = 12},
  };
  std::string all;
  std::vector<Reading> alone;
  for (const Line& line : lines) {
    all += line.text();
    alone.push_back(read_all(line.text()));
  }
  const Reading reading = read_all(all);
  std::size_t read = 0;
  for (std::size_t index = 0; index < lines.size(); ++index) {
    if (alone[index].answers.empty()) continue;  // skipped alone: skipped here
    ASSERT_LT(read, reading.answers.size());
    EXPECT_EQ(reading.starts[read], alone[index].starts[0]) << index;
    EXPECT_EQ(reading.names[read], alone[index].names[0]) << index;
    EXPECT_EQ(reading.answers[read].limit, alone[index].answers[0].limit) << index;
    EXPECT_EQ(reading.answers[read].answer, alone[index].answers[0].answer) << index;
    EXPECT_EQ(reading.answers[read].started_key, alone[index].answers[0].started_key) << index;
    EXPECT_EQ(reading.answers[read].fingerprint, alone[index].answers[0].fingerprint) << index;
    ++read;
  }
  EXPECT_EQ(read, lines.size() - 1);
  EXPECT_EQ(reading.answers.size(), read);
  EXPECT_EQ(reading.counts.skipped_lines, 1u);
}

}  // namespace
}  // namespace records
