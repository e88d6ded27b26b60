// Tests of the built drill as a process with the operations chosen on its
// command line: every kind of test description, the limit question and
// line, the ranges the numbers come from, a limit asked again, and the
// command lines that are refused, --help and --version. Every run is in a
// fresh TempDir with TZ=UTC and within a time bound.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "records/timestamp.h"
#include "tests/support/child_process.h"
#include "tests/support/records_check.h"
#include "tests/support/transcript.h"

namespace {

using testing_support::ChildOptions;
using testing_support::Exit;
using testing_support::TempDir;

ChildOptions drill_in(const TempDir& dir, std::vector<std::string> arguments) {
  ChildOptions options;
  options.argv = {DRILL_PATH};
  options.argv.insert(options.argv.end(), arguments.begin(), arguments.end());
  options.directory = dir.path();
  options.env = {"TZ=UTC"};
  return options;
}

struct DrillRun {
  Exit exit;
  std::string output;
  std::string errors;
};

DrillRun run(const TempDir& dir, std::vector<std::string> arguments, const std::string& input) {
  DrillRun result;
  result.exit = testing_support::run_to_end(drill_in(dir, std::move(arguments)), input,
                                            &result.output, &result.errors);
  return result;
}

// One problem as the console showed it: "a op b = " and the verdict's answer.
struct Shown {
  std::int64_t left = 0;
  char sign = 0;
  std::int64_t right = 0;
  std::int64_t correct = 0;
};

// The problems of piped output, where every answer was 0 and so every
// verdict shows the correct answer (none of them is 0 with these ranges and
// limits, or it says "That is right").
std::vector<Shown> problems_in(const std::string& output) {
  std::vector<Shown> shown;
  const std::string verdict = "Sorry ... the correct answer is ";
  for (std::size_t at = output.find(".\t"); at != std::string::npos;
       at = output.find(".\t", at + 1)) {
    Shown problem;
    char* end = nullptr;
    const char* text = output.c_str() + at + 2;
    problem.left = std::strtoll(text, &end, 10);
    problem.sign = end[1];
    problem.right = std::strtoll(end + 3, &end, 10);
    const std::size_t said = output.find(verdict, at);
    problem.correct = said == std::string::npos
                          ? 0
                          : std::strtoll(output.c_str() + said + verdict.size(), nullptr, 10);
    if (output.compare(output.find(" = ", at) + 3, verdict.size(), verdict) != 0) {
      problem.correct = 0;  // judged right: the answer 0 was correct
    }
    shown.push_back(problem);
  }
  return shown;
}

std::string zeros(int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += "0\n";
  return text;
}

// Each row of the description table, and the default: the question, the
// report's description and limit line on the console and in the block, and
// each problem's operation, range and answer.
TEST(Operations, EveryKindOfTestDescribesAndDrawsItsOperations) {
  struct Case {
    std::vector<std::string> arguments;
    std::string signs;  // the operations the drill must use
  };
  const Case cases[] = {
      {.arguments = {}, .signs = "+-"},
      {.arguments = {"-o", "+-"}, .signs = "+-"},
      {.arguments = {"-o", "x"}, .signs = "x"},
      {.arguments = {"-o", "/"}, .signs = "/"},
      {.arguments = {"--operations", "-"}, .signs = "-"},
      {.arguments = {"--operations=/x"}, .signs = "x/"},
      {.arguments = {"-o", "*+"}, .signs = "+x"},
      {.arguments = {"-o", "+-/"}, .signs = "+-/"},
      {.arguments = {"-o", "/x-+"}, .signs = "+-x/"},
  };
  const std::int64_t limit = 12;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.signs);
    TempDir dir;
    const DrillRun drill = run(dir, c.arguments, "Ann\n12\n" + zeros(20) + "n\n");
    ASSERT_TRUE(drill.exit.exited);
    EXPECT_EQ(drill.exit.status, 0);
    EXPECT_EQ(drill.errors, "");
    EXPECT_NE(drill.output.find(testing_support::limit_prompt(c.signs)), std::string::npos);
    const std::string description = testing_support::test_description(c.signs);
    const std::string limit_line = testing_support::limit_line(c.signs, limit);
    EXPECT_NE(drill.output.find("Test description: 20 problems, " + description + "\n" +
                                limit_line + "\n"),
              std::string::npos);
    const std::string log = testing_support::read_file(dir.file("records.txt"));
    EXPECT_NE(
        log.find("Test description: 20  problems, " + description + "\r\n" + limit_line + "\r\n"),
        std::string::npos);

    const std::vector<Shown> problems = problems_in(drill.output);
    ASSERT_EQ(problems.size(), 20u);
    const std::int64_t low = c.signs.find('/') != std::string::npos ? 1 : 0;
    for (const Shown& p : problems) {
      const char sign = p.sign;
      ASSERT_NE(c.signs.find(sign), std::string::npos) << sign;
      // The two numbers a and b of the pair, each in low..limit.
      std::int64_t a = 0, b = p.right;
      switch (sign) {
        case '+':
          a = p.left;
          EXPECT_EQ(p.correct, a + b);
          break;
        case '-':
          a = p.left - b;
          EXPECT_EQ(p.correct, a);
          break;
        case 'x':
          a = p.left;
          EXPECT_EQ(p.correct, a * b);
          break;
        case '/':
          ASSERT_NE(b, 0);
          EXPECT_EQ(p.left % b, 0);
          a = p.left / b;
          EXPECT_EQ(p.correct, a);
          break;
      }
      EXPECT_GE(a, low);
      EXPECT_LE(a, limit);
      EXPECT_GE(b, low);
      EXPECT_LE(b, limit);
    }
  }
}

// With division the numbers start at 1, so a limit below 1 is asked again,
// as -1 is for the other kinds.
TEST(Operations, DivisionAsksAgainForALimitBelowOne) {
  TempDir dir;
  const DrillRun drill = run(dir, {"-o", "x/"}, "Ann\n0\n-1\n-7\n1\n" + zeros(20) + "n\n");
  ASSERT_TRUE(drill.exit.exited);
  EXPECT_EQ(drill.exit.status, 0);
  std::size_t asked = 0;
  for (std::size_t at = drill.output.find(testing_support::kNumbersPrompt); at != std::string::npos;
       at = drill.output.find(testing_support::kNumbersPrompt, at + 1)) {
    ++asked;
  }
  EXPECT_EQ(asked, 4u);
  EXPECT_NE(drill.output.find(testing_support::limit_line("x/", 1) + "\n"), std::string::npos);
  // Limit 1: every problem is 1 x 1 or 1 / 1.
  for (const Shown& p : problems_in(drill.output)) {
    EXPECT_EQ(p.left, 1);
    EXPECT_EQ(p.right, 1);
  }
  // Without division 0 is a limit like any other.
  TempDir other;
  const DrillRun times = run(other, {"-o", "x"}, "Ann\n0\n" + zeros(20) + "n\n");
  EXPECT_NE(times.output.find(testing_support::limit_line("x", 0) + "\n"), std::string::npos);
}

// A wrong command line ends with status 2 before anything is shown or
// stored: nothing on standard output, no file, one message on standard
// error that ends with the pointer to --help.
TEST(Operations, WrongCommandLinesAreRefusedBeforeAnythingHappens) {
  const std::vector<std::string> wrong[] = {
      {"-o"},        {"--operations"}, {"-o", ""},       {"--operations="},
      {"-o", "+%"},  {"-o", "x*"},     {"-o", "++"},     {"-z"},
      {"--verbose"}, {"records.txt"},  {"-o", "x", "y"}, {"--", "x"},
  };
  for (const std::vector<std::string>& arguments : wrong) {
    SCOPED_TRACE(arguments.empty() ? "" : arguments.back());
    TempDir dir;
    const DrillRun drill = run(dir, arguments, "Ann\n10\n" + zeros(20) + "n\n");
    ASSERT_TRUE(drill.exit.exited);
    EXPECT_EQ(drill.exit.status, 2);
    EXPECT_EQ(drill.output, "");
    EXPECT_EQ(drill.errors.rfind("mathdrill: ", 0), 0u) << drill.errors;
    const std::string& tail = testing_support::kTryHelp;
    ASSERT_GE(drill.errors.size(), tail.size());
    EXPECT_EQ(drill.errors.substr(drill.errors.size() - tail.size()), tail);
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
  }
}

TEST(Operations, HelpAndVersion) {
  TempDir dir;
  const DrillRun help = run(dir, {"--help"}, "");
  ASSERT_TRUE(help.exit.exited);
  EXPECT_EQ(help.exit.status, 0);
  EXPECT_EQ(help.errors, "");
  EXPECT_NE(help.output.find("-o, --operations=OPS"), std::string::npos);
  for (const char* sign : {"+  addition", "-  subtraction", "x  multiplication", "/  division"}) {
    EXPECT_NE(help.output.find(sign), std::string::npos) << sign;
  }

  const DrillRun version = run(dir, {"--version"}, "");
  ASSERT_TRUE(version.exit.exited);
  EXPECT_EQ(version.exit.status, 0);
  EXPECT_EQ(version.output, testing_support::kVersionLine);
  EXPECT_EQ(version.errors, "");
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

}  // namespace

namespace testing_support {
namespace {

// Every line of `csv` without its last field (the milliseconds, which a
// real clock times).
std::string without_times(const std::string& csv) {
  std::string out;
  std::size_t at = 0;
  while (at < csv.size()) {
    const std::size_t end = csv.find("\r\n", at);
    if (end == std::string::npos) return out + "(no line end)";
    const std::string line = csv.substr(at, end - at);
    out += line.substr(0, line.rfind(',')) + "\n";
    at = end + 2;
  }
  return out;
}

// "Starting time:  Tue Dec 08 10:00:00 2026" on the screen as answers.csv
// writes it: "2026-12-08T10:00:00".
std::string started_on(const std::string& screen) {
  const std::string head = "Starting time:  ";
  const std::size_t at = screen.find(head);
  if (at == std::string::npos) return "(no start)";
  const std::optional<text::CivilTime> time =
      records::read_timestamp(std::string_view(screen).substr(at + head.size(), 24));
  if (!time) return "(no timestamp)";
  char text[32];
  std::snprintf(text, sizeof text, "%04lld-%02d-%02dT%02d:%02d:%02d",
                static_cast<long long>(time->year), time->month, time->day, time->hour,
                time->minute, time->second);
  return text;
}

// Real drill sessions of each kind, with answers known: answers.csv holds
// one line per problem on the screen, with the answer typed for it.
TEST(AnswersProcessTest, AnswersFileMatchesTheScreenLineByLine) {
  struct KindCase {
    std::vector<std::string> arguments;
    std::string operations;
  };
  const KindCase kinds[] = {
      {.arguments = {}, .operations = "addition/subtraction"},
      {.arguments = {"-o", "x/"}, .operations = "multiplication/division"},
  };
  const std::vector<Typed> typed = {{"3", 3}, {"010", 8}, {"12", 12}};
  for (const KindCase& kind : kinds) {
    TempDir dir;
    ChildOptions child;
    child.argv = {DRILL_PATH};
    child.argv.insert(child.argv.end(), kind.arguments.begin(), kind.arguments.end());
    child.directory = dir.path();
    child.env = {"TZ=UTC"};
    std::string input = "Ann\n6\n";
    for (int problem = 0; problem < 20; ++problem) input += typed[problem % 3].shown + "\n";
    input += "n\n";
    std::string out;
    std::string errors;
    const Exit exit = run_to_end(child, input, &out, &errors);
    ASSERT_TRUE(exit.exited);
    EXPECT_EQ(exit.status, 0);
    EXPECT_EQ(errors, "");
    const std::string answers = read_file(dir.file("answers.csv"));
    EXPECT_EQ(without_times(answers),
              without_times(
                  answers_from_screen(out, started_on(out), "Ann", kind.operations, 6, typed, "0")))
        << kind.operations;
  }
}

}  // namespace
}  // namespace testing_support
