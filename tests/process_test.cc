// Tests of the built drill as a process: the console dialogue through pipes
// and under a pseudo-terminal, the ways a run ends, and records.txt. Every
// run is in a fresh TempDir with TZ=UTC and within a time bound.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <regex>
#include <string>
#include <vector>

#include "tests/child_process.h"
#include "tests/records_check.h"

namespace {

using testing_support::Block;
using testing_support::ChildOptions;
using testing_support::ChildProcess;
using testing_support::Exit;
using testing_support::Millis;
using testing_support::TempDir;

constexpr char kBanner[] = "Velmora Math Software -- version 1\n\nDedicated to Marivane\n\n";
constexpr char kNamePrompt[] = "What is your name? ";
constexpr char kLimitPrompt[] = "How big do you want the addends to be? ";
constexpr char kGoAgain[] = "\nDo you want to go again? (y or n) ";
constexpr char kGo[] = "Ok, GO!!!   Good luck!!!\n\n";

ChildOptions drill_in(const TempDir& dir, bool pty = false) {
  ChildOptions options;
  options.argv = {DRILL_PATH};
  options.directory = dir.path();
  options.env = {"TZ=UTC"};
  options.pty = pty;
  return options;
}

std::string repeat(const std::string& text, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += text;
  return out;
}

// Piped input for whole tests: the name, the limit, then for each test 20
// answers of `answer` and "y", except "n" after the last.
std::string session_input(const std::string& name, int limit, int tests,
                          const std::string& answer) {
  std::string input = name + "\n" + std::to_string(limit) + "\n";
  for (int t = 1; t <= tests; ++t) input += repeat(answer + "\n", 20) + (t < tests ? "y\n" : "n\n");
  return input;
}

bool ends_with(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() &&
         text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

std::size_t count(const std::string& text, const std::string& part) {
  std::size_t n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

long long now() { return static_cast<long long>(std::time(nullptr)); }

// One end-of-test report as the console shows it (through pipes: "\n").
struct Report {
  std::string name, ending, starting, elapsed;
  long long limit = 0;
  int right = 0, percent = 0;
  std::string grade;
  long long score = 0;
};

// The reports in console output, in order. Its pattern only picks the values
// out; report_text() rebuilds the exact text from them for comparisons.
std::vector<Report> console_reports(const std::string& out) {
  static const std::regex pattern(
      "Test results for (\\S*):\n"
      "Ending time:    (.{24})\n"
      "Starting time:  (.{24})\n"
      "Elapsed time:   (\\S+) seconds\\.\n\n"
      "Test description: 20 problems, mixed addition/subtraction \\(random 50/50\\)\n"
      "Addend limits 0 through (-?\\d+)\n"
      "You got (\\d+) right out of 20 which is (\\d+)% -- so your grade is ([A-F]\\+?)\n"
      "Timed performance score is (-?\\d+)\n");
  std::vector<Report> reports;
  for (auto it = std::sregex_iterator(out.begin(), out.end(), pattern);
       it != std::sregex_iterator(); ++it) {
    const std::smatch& m = *it;
    reports.push_back({m[1], m[2], m[3], m[4], std::stoll(m[5]), std::stoi(m[6]), std::stoi(m[7]),
                       m[8], std::stoll(m[9])});
  }
  return reports;
}

std::string report_text(const Report& r) {
  return "Test results for " + r.name + ":\nEnding time:    " + r.ending +
         "\nStarting time:  " + r.starting + "\nElapsed time:   " + r.elapsed +
         " seconds.\n\nTest description: 20 problems, mixed addition/subtraction (random "
         "50/50)\nAddend limits 0 through " +
         std::to_string(r.limit) + "\nYou got " + std::to_string(r.right) +
         " right out of 20 which is " + std::to_string(r.percent) + "% -- so your grade is " +
         r.grade + "\nTimed performance score is " + std::to_string(r.score) + "\n";
}

// The exact bytes of the records.txt block for a report.
std::string block_of(const Report& r) {
  return "-----------drillo1.exe: from www.velmora-math.com----------------------------\r\n"
         "Test results for " +
         r.name + ":\r\nEnding time:    " + r.ending + "\r\nStarting time:  " + r.starting +
         "\r\nElapsed time:   " + r.elapsed +
         " seconds.\r\nTest description: 20  problems, mixed addition/subtraction (random "
         "50/50)\r\nAddend limits 0 through " +
         std::to_string(r.limit) + "\r\nResults: " + std::to_string(r.right) +
         " right out of 20, grade " + std::to_string(r.percent) + "% / " + r.grade +
         "\r\nTime/performance rating: " + std::to_string(r.score) + "\r\n";
}

// The report's values follow from one another, and its times (UTC) lie
// within [earliest, latest], the wall clock around the run.
void expect_sound(const Report& r, long long earliest, long long latest) {
  SCOPED_TRACE(report_text(r));
  const auto start = testing_support::utc_seconds(r.starting);
  const auto end = testing_support::utc_seconds(r.ending);
  ASSERT_TRUE(start && end);
  EXPECT_LE(earliest, *start);
  EXPECT_LE(*start, *end);
  EXPECT_LE(*end, latest);
  EXPECT_EQ(r.elapsed, std::to_string(*end - *start));
  EXPECT_EQ(r.percent, r.right * 5);
  EXPECT_EQ(r.grade, testing_support::expected_grade(r.percent));
  EXPECT_EQ(r.score, r.right * r.percent / std::max<long long>(*end - *start, 1));
}

// records.txt holds exactly `prefix` and then one block per report, in
// order, each valid by itself.
void expect_records(const TempDir& dir, const std::string& prefix,
                    const std::vector<Report>& reports) {
  const std::string bytes = testing_support::read_file(dir.file("records.txt"));
  std::vector<Block> blocks;
  std::string why;
  EXPECT_TRUE(testing_support::parse_records(bytes, &blocks, &why, prefix)) << why;
  EXPECT_EQ(blocks.size(), reports.size());
  std::string expected = prefix;
  for (const Report& r : reports) expected += block_of(r);
  EXPECT_EQ(bytes, expected);
}

// A problem prompt read back: "%2d + %2d = " asks for the sum, "%2d - %2d = "
// for the left number minus the right. Returns the correct answer, or
// nothing when the prompt is not of that form or an addend is outside
// 0..limit.
std::optional<int> correct_answer(const std::string& prompt, int limit) {
  int left = 0, right = 0;
  char op = 0;
  if (std::sscanf(prompt.c_str(), "%d %c %d =", &left, &op, &right) != 3) return std::nullopt;
  char again[32];
  std::snprintf(again, sizeof again, "%2d %c %2d = ", left, op, right);
  if (prompt != again || (op != '+' && op != '-')) return std::nullopt;
  const int first = op == '+' ? left : left - right;
  if (first < 0 || first > limit || right < 0 || right > limit) return std::nullopt;
  return op == '+' ? left + right : left - right;
}

// ---------------------------------------------------------------------------
// Through pipes: a whole test answered as it goes.

// Reads each problem, answers some right (in decimal, with a '+', in octal,
// in hexadecimal) and some wrong, and checks every verdict, the running
// count, the report, the go-again question, the exit and the records block.
TEST(Pipes, WholeTestIsAskedJudgedAndReported) {
  constexpr int kLimit = 50;
  TempDir dir;
  const long long earliest = now();
  ChildProcess drill(drill_in(dir));
  EXPECT_EQ(drill.read_until(kNamePrompt), std::string(kBanner) + kNamePrompt);
  drill.send("Ann\n");
  EXPECT_EQ(drill.read_until(kLimitPrompt), kLimitPrompt);
  drill.send(std::to_string(kLimit) + "\n");
  const std::optional<std::string> opening = drill.read_until(kGo);
  ASSERT_TRUE(opening);
  std::smatch start;
  ASSERT_TRUE(std::regex_match(*opening, start,
                               std::regex("Starting time:  (.{24})\n\n\n" + std::string(kGo))))
      << *opening;

  int right = 0;
  bool plus = false, octal = false, hex = false;
  for (int n = 1; n <= 20; ++n) {
    SCOPED_TRACE("problem " + std::to_string(n));
    const std::optional<std::string> shown = drill.read_until(" = ");
    ASSERT_TRUE(shown);
    const std::string number = std::to_string(n) + ".\t";
    ASSERT_EQ(shown->substr(0, number.size()), number) << *shown;
    const std::optional<int> correct = correct_answer(shown->substr(number.size()), kLimit);
    ASSERT_TRUE(correct) << *shown;

    std::string answer = std::to_string(*correct);
    bool is_right = true;
    char text[32];
    if (n % 5 == 3) {  // wrong: 010-style (read as octal) where it differs, else one more
      answer = *correct >= 8 ? "0" + answer : std::to_string(*correct + 1);
      is_right = false;
    } else if (!plus) {
      answer = "+" + answer;
      plus = true;
    } else if (!octal && *correct >= 8) {
      std::snprintf(text, sizeof text, "0%o", static_cast<unsigned>(*correct));
      answer = text;
      octal = true;
    } else if (!hex && *correct >= 10) {
      std::snprintf(text, sizeof text, "0x%x", static_cast<unsigned>(*correct));
      answer = text;
      hex = true;
    }
    drill.send(answer + "\n");
    if (is_right) ++right;
    const std::string verdict = is_right
                                    ? "That is right, Ann!  Now you have " + std::to_string(right) +
                                          " out of " + std::to_string(n)
                                    : "Sorry ... the correct answer is " + std::to_string(*correct);
    EXPECT_EQ(drill.read_until("\n\n"), verdict + "\n\n") << "answered " << answer;
  }
  EXPECT_TRUE(plus && octal && hex);
  EXPECT_EQ(right, 16);

  const std::optional<std::string> report = drill.read_until(kGoAgain);
  ASSERT_TRUE(report);
  const std::vector<Report> reports = console_reports(*report);
  ASSERT_EQ(reports.size(), 1u) << *report;
  EXPECT_EQ(*report, report_text(reports[0]) + kGoAgain);
  EXPECT_EQ(reports[0].name, "Ann");
  EXPECT_EQ(reports[0].limit, kLimit);
  EXPECT_EQ(reports[0].right, right);
  EXPECT_EQ(reports[0].starting, start[1].str());

  drill.send("n\n");
  const Exit exit = drill.wait(Millis(5000));
  EXPECT_TRUE(exit.exited && !exit.timed_out);
  EXPECT_EQ(exit.status, 0);
  EXPECT_EQ(drill.unread(), "");
  EXPECT_EQ(drill.errors(), "");
  expect_sound(reports[0], earliest, now());
  expect_records(dir, "", reports);
}

// ---------------------------------------------------------------------------
// Under a pseudo-terminal: prompts are on the screen before the drill waits.

// Each prompt is shown in full, and then nothing more arrives until the
// child answers: the drill is waiting, not still writing.
TEST(Terminal, EachPromptIsShownAndThenTheDrillWaits) {
  TempDir dir;
  ChildProcess drill(drill_in(dir, /*pty=*/true));
  auto shown_then_waits = [&](const std::string& prompt) {
    const std::optional<std::string> got = drill.read_until(prompt);
    if (!got) return testing::AssertionFailure() << "never shown: " << prompt;
    drill.drain(Millis(100));
    if (!drill.unread().empty()) {
      return testing::AssertionFailure() << "after " << prompt << " came " << drill.unread();
    }
    return testing::AssertionSuccess() << *got;
  };
  ASSERT_TRUE(shown_then_waits(kNamePrompt));
  drill.send("Ann\n");
  ASSERT_TRUE(shown_then_waits(kLimitPrompt));
  drill.send("0\n");
  for (int n = 1; n <= 20; ++n) {
    const std::string number = std::to_string(n) + ".\t";
    ASSERT_TRUE(drill.wait_for(number));
    const testing::AssertionResult prompt = shown_then_waits(" = ");
    ASSERT_TRUE(prompt);
    EXPECT_TRUE(std::string(prompt.message()) == " 0 +  0 = " ||
                std::string(prompt.message()) == " 0 -  0 = ")
        << prompt.message();
    drill.send("0\n");
    ASSERT_TRUE(drill.wait_for("0\r\nThat is right, Ann!  Now you have " + std::to_string(n) +
                               " out of " + std::to_string(n) + "\r\n\r\n"));
  }
  ASSERT_TRUE(shown_then_waits("\r\nDo you want to go again? (y or n) "));
  drill.send("n\n");
  const Exit exit = drill.wait(Millis(5000));
  EXPECT_TRUE(exit.exited && !exit.timed_out);
  EXPECT_EQ(exit.status, 0);
  EXPECT_EQ(drill.unread(), "n\r\n");  // the terminal's echo, nothing after it
}

TEST(Terminal, CtrlDAtTheNamePromptEndsWithStatusZero) {
  TempDir dir;
  ChildProcess drill(drill_in(dir, /*pty=*/true));
  ASSERT_TRUE(drill.wait_for(kNamePrompt));
  drill.close_input();
  const Exit exit = drill.wait(Millis(5000));
  EXPECT_TRUE(exit.exited && !exit.timed_out);
  EXPECT_EQ(exit.status, 0);
  EXPECT_EQ(drill.output(), std::string("Velmora Math Software -- version 1\r\n\r\n"
                                        "Dedicated to Marivane\r\n\r\n") +
                                kNamePrompt + "\r\n");
  EXPECT_FALSE(std::filesystem::exists(dir.file("records.txt")));
}

// ---------------------------------------------------------------------------
// How a run ends: exit status, the end of the output, standard error and
// records.txt, always within a time bound.

struct Ending {
  const char* label = "";
  std::string input = {};
  std::string output_ends = {};  // the last bytes of standard output
  std::string errors = {};       // all of standard error
  int status = 0;
  int blocks = 0;              // whole tests run and logged; -1: no test started at all
  bool abandoned = false;      // a test after those was started and abandoned
  bool close_input = true;     // false: input stays open, the drill must end without it
  std::vector<std::string> output_has = {};  // each somewhere in standard output
};

void PrintTo(const Ending& ending, std::ostream* out) { *out << ending.label; }

class Endings : public testing::TestWithParam<Ending> {};

TEST_P(Endings, EndAsExpected) {
  const Ending& c = GetParam();
  TempDir dir;
  const long long earliest = now();
  ChildProcess drill(drill_in(dir));
  drill.send(c.input);
  if (c.close_input) drill.close_input();
  const Exit exit = drill.wait(Millis(5000));
  const std::string& out = drill.output();
  ASSERT_FALSE(exit.timed_out) << out;
  EXPECT_TRUE(exit.exited);
  EXPECT_EQ(exit.status, c.status);
  EXPECT_TRUE(out.starts_with(std::string(kBanner) + kNamePrompt)) << out;
  EXPECT_TRUE(ends_with(out, c.output_ends)) << out;
  for (const std::string& part : c.output_has) EXPECT_NE(out.find(part), std::string::npos) << part;
  EXPECT_EQ(drill.errors(), c.errors);
  if (c.blocks < 0) {
    EXPECT_FALSE(std::filesystem::exists(dir.file("records.txt")));
    EXPECT_EQ(out.find("Starting time"), std::string::npos);
    return;
  }
  // Every finished test ran its 20 problems, was judged and logged; an
  // abandoned one stops at the pending prompt, with no report and no block.
  const std::size_t started = static_cast<std::size_t>(c.blocks) + (c.abandoned ? 1 : 0);
  EXPECT_EQ(count(out, kGo), started);
  EXPECT_EQ(count(out, "\n20.\t"), static_cast<std::size_t>(c.blocks));
  if (c.abandoned) {
    const std::size_t last_test = out.rfind(kGo);
    ASSERT_NE(last_test, std::string::npos);
    const std::string rest = out.substr(last_test);
    EXPECT_TRUE(ends_with(rest, " = \n")) << rest;
    EXPECT_EQ(rest.find("Test results for"), std::string::npos) << rest;
  }
  const std::vector<Report> reports = console_reports(out);
  ASSERT_EQ(reports.size(), static_cast<std::size_t>(c.blocks));
  for (const Report& r : reports) expect_sound(r, earliest, now());
  if (c.blocks == 0) {
    EXPECT_FALSE(std::filesystem::exists(dir.file("records.txt")));
  } else {
    expect_records(dir, "", reports);
  }
}

const std::string k20Zeros = repeat("0\n", 20);
const std::string kLimitEnds = std::string(kLimitPrompt) + "\n";
const std::string kGoAgainEnds = std::string(kGoAgain) + "\n";
std::string limit_message(const std::string& text) {
  return "mathdrill: the addend limit must be a whole number, not \"" + text + "\"\n";
}
std::string answer_message(const std::string& text) {
  return "mathdrill: the answer must be a whole number, not \"" + text +
         "\"; this test was not recorded\n";
}

INSTANTIATE_TEST_SUITE_P(
    Process, Endings,
    testing::Values(
        // (a) input ends before the name
        Ending{.label = "no input at all",
               .output_ends = std::string(kNamePrompt) + "\n",
               .blocks = -1},
        Ending{.label = "only whitespace before the name",
               .input = " \n\t\r\n",
               .output_ends = std::string(kNamePrompt) + "\n",
               .blocks = -1},
        // (b) input ends before the limit
        Ending{.label = "input ends before the limit",
               .input = "Ann\n",
               .output_ends = kLimitEnds,
               .blocks = -1},
        Ending{.label = "only whitespace for the limit",
               .input = "Ann\n  \n\t\n",
               .output_ends = kLimitEnds,
               .blocks = -1},
        // (c) the limit is not a number
        Ending{.label = "name of two words",
               .input = "Ann Lee\n",
               .output_ends = kLimitEnds,
               .errors = limit_message("Lee"),
               .status = 1,
               .blocks = -1},
        Ending{.label = "limit ten",
               .input = "Ann\nten\n",
               .output_ends = kLimitEnds,
               .errors = limit_message("ten"),
               .status = 1,
               .blocks = -1},
        Ending{.label = "limit a lone minus at end of input",
               .input = "Ann\n-",
               .output_ends = kLimitEnds,
               .errors = limit_message("-"),
               .status = 1,
               .blocks = -1},
        Ending{.label = "limit 0x, input left open",
               .input = "Ann\n0x\n",
               .output_ends = kLimitEnds,
               .errors = limit_message("0x"),
               .status = 1,
               .blocks = -1,
               .close_input = false},
        // (d) limit -1 is asked again
        Ending{.label = "limit -1 twice, then 3",
               .input = "Ann\n-1\n-1\n3\n" + k20Zeros + "n\n",
               .output_ends = kGoAgain,
               .blocks = 1,
               .output_has = {std::string(kNamePrompt) + kLimitPrompt + kLimitPrompt +
                                  kLimitPrompt + "Starting time:  ",
                              "Addend limits 0 through 3\n"}},
        // (e) input ends mid-test: the test is abandoned, status 0
        Ending{.label = "answers run out after three",
               .input = "Ann\n5\n1\n2\n3\n",
               .output_ends = " = \n",
               .blocks = 0,
               .abandoned = true},
        Ending{.label = "input ends in the second test",
               .input = "Ann\n5\n" + k20Zeros + "y\n1\n",
               .output_ends = " = \n",
               .blocks = 1,
               .abandoned = true},
        // (f) an answer is not a number: the test is abandoned, status 1
        Ending{.label = "an answer that is not a number, input left open",
               .input = "Ann\n5\n1\nabc\n",
               .output_ends = " = \n",
               .errors = answer_message("abc"),
               .status = 1,
               .blocks = 0,
               .abandoned = true,
               .close_input = false},
        Ending{.label = "digits then letters",
               .input = "Ann\n5\n12abc\n",
               .output_ends = " = \n",
               .errors = answer_message("abc"),
               .status = 1,
               .blocks = 0,
               .abandoned = true},
        Ending{.label = "a limit with a fraction",
               .input = "Ann\n10.5\n",
               .output_ends = " = \n",
               .errors = answer_message(".5"),
               .status = 1,
               .blocks = 0,
               .abandoned = true},
        Ending{.label = "yes please",
               .input = "Ann\n5\n" + k20Zeros + "yes please\n" + k20Zeros,
               .output_ends = " = \n",
               .errors = answer_message("please"),
               .status = 1,
               .blocks = 1,
               .abandoned = true},
        // (g) input ends at the go-again question
        Ending{.label = "input ends at the go-again question",
               .input = "Ann\n5\n" + k20Zeros,
               .output_ends = kGoAgainEnds,
               .blocks = 1},
        Ending{.label = "input ends there, name beginning with Y",
               .input = "Yan\n5\n" + k20Zeros,
               .output_ends = kGoAgainEnds,
               .blocks = 1},
        Ending{.label = "input ends at the second go-again question",
               .input = "Ann\n5\n" + k20Zeros + "yes\n" + k20Zeros,
               .output_ends = kGoAgainEnds,
               .blocks = 2},
        Ending{.label = "declined with no",
               .input = "Ann\n5\n" + k20Zeros + "no\n",
               .output_ends = kGoAgain,
               .blocks = 1}),
    [](const testing::TestParamInfo<Ending>& info) {
      std::string name = info.param.label;
      for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
      }
      return name;
    });

// ---------------------------------------------------------------------------
// records.txt

// Whatever the file held before stays byte for byte; the new block follows.
struct OldLog {
  const char* label;
  std::string bytes;
};

void PrintTo(const OldLog& old, std::ostream* out) { *out << old.label; }

class RecordsKept : public testing::TestWithParam<OldLog> {};

TEST_P(RecordsKept, OldBytesStayAndTheBlockFollows) {
  const std::string& old = GetParam().bytes;
  TempDir dir;
  testing_support::write_file(dir.file("records.txt"), old);
  const long long earliest = now();
  std::string out, errors;
  const Exit exit = testing_support::run_to_end(drill_in(dir), session_input("Bo", 7, 1, "1"), &out,
                                                &errors, Millis(5000));
  ASSERT_TRUE(exit.exited && !exit.timed_out);
  EXPECT_EQ(exit.status, 0);
  const std::vector<Report> reports = console_reports(out);
  ASSERT_EQ(reports.size(), 1u) << out;
  expect_sound(reports[0], earliest, now());
  expect_records(dir, old, reports);
}

INSTANTIATE_TEST_SUITE_P(
    Process, RecordsKept,
    testing::Values(OldLog{"Empty", ""}, OldLog{"NoNewlineAtTheEnd", "no newline at the end"},
                    OldLog{"CrLfLine", "a line\r\n"}, OldLog{"LfLine", "a line\n"},
                    OldLog{"ControlAndHighBytes", std::string("\0\xff\x1a\r\n\r\r\n\n", 9)},
                    OldLog{"LongerThanAPage", std::string(5000, 'x')}),
    [](const testing::TestParamInfo<OldLog>& info) { return std::string(info.param.label); });

// Two tests in one run: two blocks, in order, each exactly as the console
// reported it.
TEST(Records, TwoTestsGiveTwoBlocksInOrder) {
  TempDir dir;
  const long long earliest = now();
  std::string out, errors;
  const Exit exit = testing_support::run_to_end(drill_in(dir), session_input("Cy", 9, 2, "4"), &out,
                                                &errors, Millis(5000));
  ASSERT_TRUE(exit.exited && !exit.timed_out);
  EXPECT_EQ(exit.status, 0);
  const std::vector<Report> reports = console_reports(out);
  ASSERT_EQ(reports.size(), 2u) << out;
  for (const Report& r : reports) expect_sound(r, earliest, now());
  EXPECT_LE(*testing_support::utc_seconds(reports[0].ending),
            *testing_support::utc_seconds(reports[1].starting));
  expect_records(dir, "", reports);
}

// A records.txt that cannot be written: each test says so on standard error,
// with the system's reason; the console dialogue is whole, the status 0, and
// no other file is touched.
enum class Unusable { folder, dev_full };

class UnusableLog : public testing::TestWithParam<Unusable> {};

TEST_P(UnusableLog, ConsoleReportIsWholeAndNothingElseChanges) {
  TempDir dir;
  const std::string log = dir.file("records.txt");
  if (GetParam() == Unusable::folder) {
    ASSERT_EQ(::mkdir(log.c_str(), 0755), 0);
  } else {
    ASSERT_EQ(::symlink("/dev/full", log.c_str()), 0);
  }
  const long long earliest = now();
  std::string out, errors;
  const Exit exit = testing_support::run_to_end(drill_in(dir), session_input("Di", 6, 2, "2"), &out,
                                                &errors, Millis(5000));
  ASSERT_TRUE(exit.exited && !exit.timed_out);
  EXPECT_EQ(exit.status, 0);
  const std::string lost = "mathdrill: records.txt: " +
                           std::string(GetParam() == Unusable::folder ? "Is a directory"
                                                                      : "No space left on device") +
                           "; this test was not recorded\n";
  EXPECT_EQ(errors, lost + lost);
  EXPECT_TRUE(ends_with(out, kGoAgain)) << out;
  const std::vector<Report> reports = console_reports(out);
  ASSERT_EQ(reports.size(), 2u) << out;
  for (const Report& r : reports) {
    expect_sound(r, earliest, now());
    EXPECT_NE(out.find(report_text(r) + kGoAgain), std::string::npos);
  }

  std::vector<std::string> entries;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    entries.push_back(entry.path().filename().string());
  }
  EXPECT_EQ(entries, std::vector<std::string>{"records.txt"});
  if (GetParam() == Unusable::folder) {
    EXPECT_TRUE(std::filesystem::is_directory(log));
    EXPECT_TRUE(std::filesystem::is_empty(log));
  } else {
    EXPECT_TRUE(std::filesystem::is_symlink(log));
    EXPECT_EQ(std::filesystem::read_symlink(log), "/dev/full");
  }
}

INSTANTIATE_TEST_SUITE_P(Process, UnusableLog,
                         testing::Values(Unusable::folder, Unusable::dev_full),
                         [](const testing::TestParamInfo<Unusable>& info) {
                           return info.param == Unusable::folder ? "Folder" : "DevFull";
                         });

// Several drills started at once in one folder, each running several tests:
// every test leaves exactly one whole block, none mixed with another, and
// each drill's blocks are its own reports in its own order. All drills are
// held at the 20th problem of each test and released together, so that their
// appends come as close together as they can.
TEST(Records, DrillsRunningAtOnceLeaveWholeBlocks) {
  constexpr int kDrills = 4, kTests = 5;
  TempDir dir;
  const long long earliest = now();
  std::vector<std::unique_ptr<ChildProcess>> drills;
  for (int i = 0; i < kDrills; ++i) drills.push_back(std::make_unique<ChildProcess>(drill_in(dir)));
  for (int i = 0; i < kDrills; ++i) drills[i]->send("P" + std::to_string(i) + "\n9\n");
  for (int t = 1; t <= kTests; ++t) {
    for (const auto& drill : drills) {
      drill->send(repeat("1\n", 19));
      ASSERT_TRUE(drill->wait_for("\n20.\t"));
    }
    const std::string last = t < kTests ? "1\ny\n" : "1\nn\n";
    for (const auto& drill : drills) drill->send(last);
  }
  std::vector<std::vector<Report>> reports;
  for (const auto& drill : drills) {
    const Exit exit = drill->wait(Millis(10000));
    ASSERT_TRUE(exit.exited && !exit.timed_out);
    EXPECT_EQ(exit.status, 0);
    reports.push_back(console_reports(drill->output()));
    ASSERT_EQ(reports.back().size(), static_cast<std::size_t>(kTests)) << drill->output();
  }

  const std::string bytes = testing_support::read_file(dir.file("records.txt"));
  std::vector<Block> blocks;
  std::string why;
  ASSERT_TRUE(testing_support::parse_records(bytes, &blocks, &why)) << why;
  ASSERT_EQ(blocks.size(), static_cast<std::size_t>(kDrills * kTests));
  std::vector<std::size_t> next(kDrills, 0);
  for (const Block& block : blocks) {
    ASSERT_EQ(block.name.size(), 2u);
    const std::size_t i = static_cast<std::size_t>(block.name[1] - '0');
    ASSERT_LT(i, reports.size()) << block.name;
    ASSERT_LT(next[i], reports[i].size());
    const Report& r = reports[i][next[i]++];
    EXPECT_EQ(block.text, block_of(r));
    expect_sound(r, earliest, now());
  }
}

}  // namespace
