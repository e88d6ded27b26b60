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
#include <string>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/records_check.h"
#include "tests/support/transcript.h"

namespace {

using testing_support::answer_message;
using testing_support::Block;
using testing_support::ChildOptions;
using testing_support::ChildProcess;
using testing_support::console_report;
using testing_support::Exit;
using testing_support::kBanner;
using testing_support::kGo;
using testing_support::kGoAgain;
using testing_support::kLimitPrompt;
using testing_support::kNamePrompt;
using testing_support::kStartingTime;
using testing_support::letter_grade;
using testing_support::limit_message;
using testing_support::log_block;
using testing_support::lost_block_message;
using testing_support::Millis;
using testing_support::Report;
using testing_support::right_verdict;
using testing_support::TempDir;
using testing_support::utc_seconds;
using testing_support::with_crlf;
using testing_support::wrong_verdict;

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

// The report's values follow from one another, and its times (UTC) lie
// within [earliest, latest], the wall clock around the run.
void expect_sound(const Report& r, long long earliest, long long latest) {
  SCOPED_TRACE(console_report(r));
  const auto start = utc_seconds(r.starting);
  const auto end = utc_seconds(r.ending);
  ASSERT_TRUE(start && end);
  EXPECT_LE(earliest, *start);
  EXPECT_LE(*start, *end);
  EXPECT_LE(*end, latest);
  EXPECT_EQ(r.elapsed, std::to_string(*end - *start));
  EXPECT_EQ(r.percent, r.right * 5);
  EXPECT_EQ(r.grade, letter_grade(r.percent));
  EXPECT_EQ(r.score, r.right * r.percent / std::max<long long>(*end - *start, 1));
}

// Runs a piped session in `dir` to its end: the drill must exit by itself
// in time, with status 0. Its output and errors are kept.
void run_whole_session(const TempDir& dir, const std::string& input, std::string& out,
                       std::string& errors) {
  const Exit exit = testing_support::run_to_end(drill_in(dir), input, &out, &errors, Millis(5000));
  ASSERT_TRUE(exit.exited && !exit.timed_out);
  EXPECT_EQ(exit.status, 0);
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
  for (const Report& r : reports) expected += log_block(r);
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
  // The starting time, then two empty lines and the word to go.
  const std::string start_line = kStartingTime + std::string(24, '.') + "\n\n\n" + kGo;
  ASSERT_EQ(opening->size(), start_line.size()) << *opening;
  ASSERT_TRUE(opening->starts_with(kStartingTime) && opening->ends_with("\n\n\n" + kGo))
      << *opening;
  const std::string start = opening->substr(kStartingTime.size(), 24);

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
    const std::string verdict = is_right ? right_verdict("Ann", right, n) : wrong_verdict(*correct);
    EXPECT_EQ(drill.read_until("\n\n"), verdict) << "answered " << answer;
  }
  EXPECT_TRUE(plus && octal && hex);
  EXPECT_EQ(right, 16);

  const std::optional<std::string> report = drill.read_until(kGoAgain);
  ASSERT_TRUE(report);
  const std::vector<Report> reports = testing_support::console_reports(*report);
  ASSERT_EQ(reports.size(), 1u) << *report;
  EXPECT_EQ(*report, console_report(reports[0]) + kGoAgain);
  EXPECT_EQ(reports[0].name, "Ann");
  EXPECT_EQ(reports[0].limit, kLimit);
  EXPECT_EQ(reports[0].right, right);
  EXPECT_EQ(reports[0].starting, start);

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
    ASSERT_TRUE(drill.wait_for("0\r\n" + with_crlf(right_verdict("Ann", n, n))));
  }
  ASSERT_TRUE(shown_then_waits(with_crlf(kGoAgain)));
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
  EXPECT_EQ(drill.output(), with_crlf(kBanner + kNamePrompt + "\n"));
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
  int blocks = 0;           // whole tests run and logged; -1: no test started at all
  bool abandoned = false;   // a test after those was started and abandoned
  bool close_input = true;  // false: input stays open, the drill must end without it
  std::vector<std::string> output_has = {};  // each somewhere in standard output
  std::optional<std::int64_t> limit = {};    // the addend limit every report shows
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
    EXPECT_EQ(out.find(kStartingTime), std::string::npos);
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
    EXPECT_TRUE(testing_support::console_reports(rest).empty()) << rest;
  }
  const std::vector<Report> reports = testing_support::console_reports(out);
  ASSERT_EQ(reports.size(), static_cast<std::size_t>(c.blocks));
  for (const Report& r : reports) {
    expect_sound(r, earliest, now());
    if (c.limit) {
      EXPECT_EQ(r.limit, *c.limit);
    }
  }
  if (c.blocks == 0) {
    EXPECT_FALSE(std::filesystem::exists(dir.file("records.txt")));
  } else {
    expect_records(dir, "", reports);
  }
}

const std::string k20Zeros = repeat("0\n", 20);
const std::string kLimitEnds = std::string(kLimitPrompt) + "\n";
const std::string kGoAgainEnds = std::string(kGoAgain) + "\n";
// The rows of the table below. Input ends at a question: `blocks` whole
// tests before it (-1: none started), status 0.
Ending ends_at(const char* label, std::string input, std::string output_ends, int blocks = -1) {
  return {.label = label,
          .input = std::move(input),
          .output_ends = std::move(output_ends),
          .blocks = blocks};
}
// Input ends at an answer after `blocks` whole tests: that test is
// abandoned, status 0.
Ending abandoned(const char* label, std::string input, int blocks = 0) {
  return {.label = label,
          .input = std::move(input),
          .output_ends = " = \n",
          .blocks = blocks,
          .abandoned = true};
}
// The addend limit is the text `text`: status 1, no test.
Ending bad_limit(const char* label, std::string input, const std::string& text) {
  return {.label = label,
          .input = std::move(input),
          .output_ends = kLimitEnds,
          .errors = limit_message(text),
          .status = 1,
          .blocks = -1};
}
// An answer is the text `text` after `blocks` whole tests: that test is
// abandoned, status 1.
Ending bad_answer(const char* label, std::string input, const std::string& text, int blocks = 0) {
  Ending ending = abandoned(label, std::move(input), blocks);
  ending.errors = answer_message(text);
  ending.status = 1;
  return ending;
}
// The same with the input left open: the drill must end without its end.
Ending left_open(Ending ending) {
  ending.close_input = false;
  return ending;
}

INSTANTIATE_TEST_SUITE_P(
    Process, Endings,
    testing::Values(
        // (a) input ends before the name, or (b) before the limit
        ends_at("no input at all", "", kNamePrompt + "\n"),
        ends_at("only whitespace before the name", " \n\t\r\n", kNamePrompt + "\n"),
        ends_at("input ends before the limit", "Ann\n", kLimitEnds),
        ends_at("only whitespace for the limit", "Ann\n  \n\t\n", kLimitEnds),
        // (c) the limit is not a number
        bad_limit("name of two words", "Ann Lee\n", "Lee"),
        bad_limit("limit ten", "Ann\nten\n", "ten"),
        bad_limit("limit a lone minus at end of input", "Ann\n-", "-"),
        left_open(bad_limit("limit 0x, input left open", "Ann\n0x\n", "0x")),
        // (d) limit -1 is asked again
        Ending{.label = "limit -1 twice, then 3",
               .input = "Ann\n-1\n-1\n3\n" + k20Zeros + "n\n",
               .output_ends = kGoAgain,
               .blocks = 1,
               .output_has = {kNamePrompt + kLimitPrompt + kLimitPrompt + kLimitPrompt +
                              kStartingTime},
               .limit = 3},
        // (e) input ends mid-test: the test is abandoned, status 0
        abandoned("answers run out after three", "Ann\n5\n1\n2\n3\n"),
        abandoned("input ends in the second test", "Ann\n5\n" + k20Zeros + "y\n1\n", 1),
        // (f) an answer is not a number: the test is abandoned, status 1
        left_open(bad_answer("an answer that is not a number, input left open", "Ann\n5\n1\nabc\n",
                             "abc")),
        bad_answer("digits then letters", "Ann\n5\n12abc\n", "abc"),
        bad_answer("a limit with a fraction", "Ann\n10.5\n", ".5"),
        bad_answer("yes please", "Ann\n5\n" + k20Zeros + "yes please\n" + k20Zeros, "please", 1),
        // (g) input ends at the go-again question
        ends_at("input ends at the go-again question", "Ann\n5\n" + k20Zeros, kGoAgainEnds, 1),
        ends_at("input ends there, name beginning with Y", "Yan\n5\n" + k20Zeros, kGoAgainEnds, 1),
        ends_at("input ends at the second go-again question",
                "Ann\n5\n" + k20Zeros + "yes\n" + k20Zeros, kGoAgainEnds, 2),
        ends_at("declined with no", "Ann\n5\n" + k20Zeros + "no\n", kGoAgain, 1)),
    [](const testing::TestParamInfo<Ending>& info) {
      std::string name = info.param.label;
      for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
      }
      return name;
    });

// ---------------------------------------------------------------------------
// records.txt

// Whatever the file held before stays byte for byte; the new block follows,
// after a line end when the last line there has none, so that it starts a
// line of its own.
struct OldLog {
  const char* label = "";
  std::string bytes = {};
  std::string line_end = {};  // put between the old bytes and the block
};

void PrintTo(const OldLog& old, std::ostream* out) { *out << old.label; }

// A whole block less its last three bytes: a copy of a log cut short.
std::string block_cut_in_its_last_line() {
  const std::string block =
      log_block(testing_support::make_report("Ann", 10, 18, 1796724000, 1796724240));
  return block.substr(0, block.size() - 3);
}

class RecordsKept : public testing::TestWithParam<OldLog> {};

TEST_P(RecordsKept, OldBytesStayAndTheBlockFollows) {
  const std::string& old = GetParam().bytes;
  TempDir dir;
  testing_support::write_file(dir.file("records.txt"), old);
  const long long earliest = now();
  std::string out, errors;
  ASSERT_NO_FATAL_FAILURE(run_whole_session(dir, session_input("Bo", 7, 1, "1"), out, errors));
  const std::vector<Report> reports = testing_support::console_reports(out);
  ASSERT_EQ(reports.size(), 1u) << out;
  expect_sound(reports[0], earliest, now());
  expect_records(dir, old + GetParam().line_end, reports);
}

INSTANTIATE_TEST_SUITE_P(
    Process, RecordsKept,
    testing::Values(
        OldLog{.label = "Empty", .bytes = ""},
        OldLog{.label = "NoNewlineAtTheEnd", .bytes = "no newline at the end", .line_end = "\r\n"},
        OldLog{.label = "CrLfLine", .bytes = "a line\r\n"},
        OldLog{.label = "LfLine", .bytes = "a line\n"},
        OldLog{.label = "CrAtTheEnd", .bytes = "a line\r", .line_end = "\r\n"},
        OldLog{.label = "ControlAndHighBytes", .bytes = std::string("\0\xff\x1a\r\n\r\r\n\n", 9)},
        OldLog{.label = "LongerThanAPage", .bytes = std::string(5000, 'x'), .line_end = "\r\n"},
        // A log saved by a Windows editor: a byte-order mark, and with no
        // line after it, no line end either.
        OldLog{.label = "ByteOrderMarkAlone", .bytes = "\xEF\xBB\xBF"},
        OldLog{.label = "BlockCutInItsLastLine",
               .bytes = block_cut_in_its_last_line(),
               .line_end = "\r\n"}),
    [](const testing::TestParamInfo<OldLog>& info) { return std::string(info.param.label); });

// A NUL typed in the name does not cut it: it shows and is stored as '?',
// like the other control bytes (here an ESC).
TEST(Records, NulInTheNameShowsAndIsStoredAsAQuestionMark) {
  TempDir dir;
  std::string out, errors;
  ASSERT_NO_FATAL_FAILURE(
      run_whole_session(dir, session_input(std::string("\0An\x1bn", 5), 0, 1, "0"), out, errors));
  EXPECT_NE(out.find(right_verdict("?An?n", 1, 1)), std::string::npos) << out;
  const std::vector<Report> reports = testing_support::console_reports(out);
  ASSERT_EQ(reports.size(), 1u) << out;
  EXPECT_EQ(reports[0].name, "?An?n");
  expect_records(dir, "", reports);
}

// Two tests in one run: two blocks, in order, each exactly as the console
// reported it.
TEST(Records, TwoTestsGiveTwoBlocksInOrder) {
  TempDir dir;
  const long long earliest = now();
  std::string out, errors;
  ASSERT_NO_FATAL_FAILURE(run_whole_session(dir, session_input("Cy", 9, 2, "4"), out, errors));
  const std::vector<Report> reports = testing_support::console_reports(out);
  ASSERT_EQ(reports.size(), 2u) << out;
  for (const Report& r : reports) expect_sound(r, earliest, now());
  EXPECT_LE(*utc_seconds(reports[0].ending), *utc_seconds(reports[1].starting));
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
  ASSERT_NO_FATAL_FAILURE(run_whole_session(dir, session_input("Di", 6, 2, "2"), out, errors));
  const std::string lost = lost_block_message(
      GetParam() == Unusable::folder ? "Is a directory" : "No space left on device");
  EXPECT_EQ(errors, lost + lost);
  EXPECT_TRUE(ends_with(out, kGoAgain)) << out;
  const std::vector<Report> reports = testing_support::console_reports(out);
  ASSERT_EQ(reports.size(), 2u) << out;
  for (const Report& r : reports) {
    expect_sound(r, earliest, now());
    EXPECT_NE(out.find(console_report(r) + std::string(kGoAgain)), std::string::npos);
  }

  std::vector<std::string> entries;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    entries.push_back(entry.path().filename().string());
  }
  // The answers are kept all the same.
  std::sort(entries.begin(), entries.end());
  EXPECT_EQ(entries, (std::vector<std::string>{"answers.csv", "records.txt"}));
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
    reports.push_back(testing_support::console_reports(drill->output()));
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
    EXPECT_EQ(block.text, log_block(r));
    expect_sound(r, earliest, now());
  }
}

}  // namespace
