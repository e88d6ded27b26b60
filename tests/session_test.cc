#include "tests/support/session.h"

#include <gtest/gtest.h>

#include <string>

#include "console/clock.h"
#include "drill/driver.h"
#include "records/answers_format.h"
#include "tests/support/fakes.h"
#include "tests/support/records_check.h"
#include "tests/support/transcript.h"

// Whole sessions run in-process on given bytes at given clock readings, and
// compared byte for byte with transcripts written out from the dialogue
// rules. The first clock reading seeds the random source; then each test
// reads its start and end time.
namespace drill {
namespace {

constexpr console::CalendarTime kTen = 1796724000;  // 2026-12-08 10:00:00 UTC

using testing_support::answer_message;
using testing_support::kGoAgain;
using testing_support::kLimitPrompt;
using testing_support::limit_message;
using testing_support::run_session;
using testing_support::SessionRun;

SessionRun run_session(const std::string& input,
                       std::vector<std::optional<console::CalendarTime>> readings,
                       std::size_t chunk = 4096) {
  return run_session({.input = input, .readings = std::move(readings), .chunk = chunk});
}

// What every session shows up to its first problem, for a test that starts
// at ten o'clock.
const std::string kOpeningAtTen =
    "Velmora Math Software -- version 1\n"
    "\n"
    "Dedicated to Marivane\n"
    "\n"
    "What is your name? How big do you want the addends to be? Starting time:  Tue Dec 08 "
    "10:00:00 2026\n"
    "\n"
    "\n"
    "Ok, GO!!!   Good luck!!!\n"
    "\n";

// Two tests: right, wrong, octal, hexadecimal and signed answers, two answers
// typed on one line, "yes" for another test, then "n".
TEST(Session, TwoTestsThenNo) {
  const std::string input =
      "Ann\n10\n"
      "8\n010\n012\n7\n0x9\n7\n2\n3\n0\n9\n4\n017\n0\n12\n10\n11\n6 11\n7\n1\n"
      "yes\n"
      "16\n1\n1\n16\n3\n7\n6\n11\n10\n13\n4\n9\n9\n12\n5\n9\n13\n7\n4\n+2\n"
      "n\n";
  const std::string expected =
      kOpeningAtTen +
      "1.\t15 -  7 = That is right, Ann!  Now you have 1 out of 1\n"
      "\n"
      "2.\t 9 -  1 = That is right, Ann!  Now you have 2 out of 2\n"
      "\n"
      "3.\t18 -  8 = That is right, Ann!  Now you have 3 out of 3\n"
      "\n"
      "4.\t 2 -  1 = Sorry ... the correct answer is 1\n"
      "\n"
      "5.\t11 -  2 = That is right, Ann!  Now you have 4 out of 5\n"
      "\n"
      "6.\t12 -  5 = That is right, Ann!  Now you have 5 out of 6\n"
      "\n"
      "7.\t 6 -  4 = That is right, Ann!  Now you have 6 out of 7\n"
      "\n"
      "8.\t 2 +  0 = Sorry ... the correct answer is 2\n"
      "\n"
      "9.\t10 - 10 = That is right, Ann!  Now you have 7 out of 9\n"
      "\n"
      "10.\t 9 -  0 = That is right, Ann!  Now you have 8 out of 10\n"
      "\n"
      "11.\t 2 +  2 = That is right, Ann!  Now you have 9 out of 11\n"
      "\n"
      "12.\t 5 + 10 = That is right, Ann!  Now you have 10 out of 12\n"
      "\n"
      "13.\t 4 -  4 = That is right, Ann!  Now you have 11 out of 13\n"
      "\n"
      "14.\t 9 +  3 = That is right, Ann!  Now you have 12 out of 14\n"
      "\n"
      "15.\t18 -  8 = That is right, Ann!  Now you have 13 out of 15\n"
      "\n"
      "16.\t 5 +  5 = Sorry ... the correct answer is 10\n"
      "\n"
      "17.\t14 -  8 = That is right, Ann!  Now you have 14 out of 17\n"
      "\n"
      "18.\t 9 +  2 = That is right, Ann!  Now you have 15 out of 18\n"
      "\n"
      "19.\t 3 +  4 = That is right, Ann!  Now you have 16 out of 19\n"
      "\n"
      "20.\t 6 -  5 = That is right, Ann!  Now you have 17 out of 20\n"
      "\n"
      "Test results for Ann:\n"
      "Ending time:    Tue Dec 08 10:01:35 2026\n"
      "Starting time:  Tue Dec 08 10:00:00 2026\n"
      "Elapsed time:   95 seconds.\n"
      "\n"
      "Test description: 20 problems, mixed addition/subtraction (random 50/50)\n"
      "Addend limits 0 through 10\n"
      "You got 17 right out of 20 which is 85% -- so your grade is B\n"
      "Timed performance score is 15\n"
      "\n"
      "Do you want to go again? (y or n) Starting time:  Tue Dec 08 10:01:40 2026\n"
      "\n"
      "\n"
      "Ok, GO!!!   Good luck!!!\n"
      "\n"
      "1.\t 7 +  9 = That is right, Ann!  Now you have 1 out of 1\n"
      "\n"
      "2.\t 2 -  1 = That is right, Ann!  Now you have 2 out of 2\n"
      "\n"
      "3.\t11 - 10 = That is right, Ann!  Now you have 3 out of 3\n"
      "\n"
      "4.\t10 +  6 = That is right, Ann!  Now you have 4 out of 4\n"
      "\n"
      "5.\t 6 -  3 = That is right, Ann!  Now you have 5 out of 5\n"
      "\n"
      "6.\t12 -  5 = That is right, Ann!  Now you have 6 out of 6\n"
      "\n"
      "7.\t 0 +  6 = That is right, Ann!  Now you have 7 out of 7\n"
      "\n"
      "8.\t 3 +  8 = That is right, Ann!  Now you have 8 out of 8\n"
      "\n"
      "9.\t 3 +  7 = That is right, Ann!  Now you have 9 out of 9\n"
      "\n"
      "10.\t 8 +  5 = That is right, Ann!  Now you have 10 out of 10\n"
      "\n"
      "11.\t 0 +  4 = That is right, Ann!  Now you have 11 out of 11\n"
      "\n"
      "12.\t 1 +  8 = That is right, Ann!  Now you have 12 out of 12\n"
      "\n"
      "13.\t 6 +  3 = That is right, Ann!  Now you have 13 out of 13\n"
      "\n"
      "14.\t 9 +  3 = That is right, Ann!  Now you have 14 out of 14\n"
      "\n"
      "15.\t 4 +  1 = That is right, Ann!  Now you have 15 out of 15\n"
      "\n"
      "16.\t 0 +  9 = That is right, Ann!  Now you have 16 out of 16\n"
      "\n"
      "17.\t 7 +  6 = That is right, Ann!  Now you have 17 out of 17\n"
      "\n"
      "18.\t13 -  6 = That is right, Ann!  Now you have 18 out of 18\n"
      "\n"
      "19.\t 0 +  4 = That is right, Ann!  Now you have 19 out of 19\n"
      "\n"
      "20.\t 7 -  5 = That is right, Ann!  Now you have 20 out of 20\n"
      "\n"
      "Test results for Ann:\n"
      "Ending time:    Tue Dec 08 10:02:10 2026\n"
      "Starting time:  Tue Dec 08 10:01:40 2026\n"
      "Elapsed time:   30 seconds.\n"
      "\n"
      "Test description: 20 problems, mixed addition/subtraction (random 50/50)\n"
      "Addend limits 0 through 10\n"
      "You got 20 right out of 20 which is 100% -- so your grade is A+\n"
      "Timed performance score is 66\n"
      "\n"
      "Do you want to go again? (y or n) ";
  for (std::size_t chunk : {std::size_t{4096}, std::size_t{1}}) {
    SessionRun session =
        run_session(input, {kTen - 5, kTen, kTen + 95, kTen + 100, kTen + 130}, chunk);
    EXPECT_EQ(session.status, 0);
    EXPECT_EQ(session.console, expected);
    EXPECT_EQ(session.errors, "");
    EXPECT_EQ(session.log,
              "-----------drillo1.exe: from www.velmora-math.com----------------------------\r\n"
              "Test results for Ann:\r\n"
              "Ending time:    Tue Dec 08 10:01:35 2026\r\n"
              "Starting time:  Tue Dec 08 10:00:00 2026\r\n"
              "Elapsed time:   95 seconds.\r\n"
              "Test description: 20  problems, mixed addition/subtraction (random 50/50)\r\n"
              "Addend limits 0 through 10\r\n"
              "Results: 17 right out of 20, grade 85% / B\r\n"
              "Time/performance rating: 15\r\n"
              "-----------drillo1.exe: from www.velmora-math.com----------------------------\r\n"
              "Test results for Ann:\r\n"
              "Ending time:    Tue Dec 08 10:02:10 2026\r\n"
              "Starting time:  Tue Dec 08 10:01:40 2026\r\n"
              "Elapsed time:   30 seconds.\r\n"
              "Test description: 20  problems, mixed addition/subtraction (random 50/50)\r\n"
              "Addend limits 0 through 10\r\n"
              "Results: 20 right out of 20, grade 100% / A+\r\n"
              "Time/performance rating: 66\r\n");
  }
}

// An answer that is not a number abandons the test at once: no further
// problem, no report, no block, and the end time is never read; the message
// quotes what was typed.
TEST(Session, AnswerThatIsNotANumberAbandonsTheTest) {
  const std::string expected = kOpeningAtTen +
                               "1.\t 7 -  3 = That is right, Bo!  Now you have 1 out of 1\n"
                               "\n"
                               "2.\t 3 -  1 = That is right, Bo!  Now you have 2 out of 2\n"
                               "\n"
                               "3.\t 2 -  0 = Sorry ... the correct answer is 2\n"
                               "\n"
                               "4.\t 6 -  1 = \n";
  SessionRun session = run_session("Bo\n5\n4\n2\n9\nabc\n7\nyes\n", {kTen - 5, kTen, kTen + 7});
  EXPECT_EQ(session.status, 1);
  EXPECT_EQ(session.console, expected);
  EXPECT_EQ(session.errors, answer_message("abc"));
  EXPECT_EQ(session.log, "");
  EXPECT_EQ(session.clock_readings, 2u);  // the seed and the start time
}

// How a session ends when input runs out or cannot be read, checked on the
// console's last bytes, the error stream, the exit status and the log.
struct EndingCase {
  const char* title = "";
  std::string input = {};
  int status = 0;
  std::string console_ends_with = {};
  int abandoned_at = 0;  // the problem whose prompt ends the console, then a line end
  std::string errors = {};
  int tests_started = 0;   // "Ok, GO!!!" shown
  int tests_recorded = 0;  // reports shown, blocks in the log
};

void PrintTo(const EndingCase& c, std::ostream* os) { *os << c.title; }

class SessionEndingTest : public ::testing::TestWithParam<EndingCase> {};

int count(const std::string& text, const std::string& what) {
  int n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
    ++n;
  }
  return n;
}

TEST_P(SessionEndingTest, EndsWithStatusAndOutput) {
  const EndingCase& c = GetParam();
  SessionRun session = run_session(c.input, {kTen});
  EXPECT_EQ(session.status, c.status);
  ASSERT_GE(session.console.size(), c.console_ends_with.size());
  EXPECT_EQ(session.console.substr(session.console.size() - c.console_ends_with.size()),
            c.console_ends_with);
  EXPECT_EQ(session.errors, c.errors);
  if (c.abandoned_at > 0) {
    const std::size_t at = session.console.rfind("\n" + std::to_string(c.abandoned_at) + ".\t");
    ASSERT_NE(at, std::string::npos);
    const std::string last_line = session.console.substr(at + 1);
    EXPECT_EQ(last_line.find('\n'), last_line.size() - 1) << last_line;
    EXPECT_TRUE(last_line.ends_with(" = \n")) << last_line;
  }
  EXPECT_EQ(count(session.console, testing_support::kGo), c.tests_started);
  EXPECT_EQ(testing_support::console_reports(session.console).size(),
            static_cast<std::size_t>(c.tests_recorded));
  std::vector<testing_support::Block> blocks;
  std::string why;
  EXPECT_TRUE(testing_support::parse_records(session.log, &blocks, &why)) << why;
  EXPECT_EQ(blocks.size(), static_cast<std::size_t>(c.tests_recorded));
  // No test shows more than 20 problems.
  EXPECT_EQ(count(session.console, "\n21.\t"), 0);
}

// Twenty answers of 0: all right with the addend limit 0.
std::string twenty_zeros() {
  std::string answers;
  for (int i = 0; i < 20; ++i) answers += "0\n";
  return answers;
}
const std::string k20 = twenty_zeros();

// The rows of the tables below. Input ends before any test, or at the
// go-again question after `tests` whole tests: status 0, no message.
EndingCase ends_with(const char* title, std::string input, std::string console_ends_with,
                     int tests = 0) {
  return {.title = title,
          .input = std::move(input),
          .console_ends_with = std::move(console_ends_with),
          .tests_started = tests,
          .tests_recorded = tests};
}
// Input ends at an answer of problem `problem` after `recorded` whole tests:
// that test is abandoned, status 0.
EndingCase abandoned(const char* title, std::string input, int problem, int recorded = 0) {
  return {.title = title,
          .input = std::move(input),
          .abandoned_at = problem,
          .tests_started = recorded + 1,
          .tests_recorded = recorded};
}
// The addend limit, asked `prompts` times, is the text `text`: status 1.
EndingCase bad_limit(const char* title, std::string input, const std::string& text,
                     int prompts = 1) {
  std::string ends;
  for (int i = 0; i < prompts; ++i) ends += kLimitPrompt;
  return {.title = title,
          .input = std::move(input),
          .status = 1,
          .console_ends_with = ends + "\n",
          .errors = limit_message(text)};
}
// An answer of problem `problem` is the text `text` after `recorded` whole
// tests: that test is abandoned, status 1.
EndingCase bad_answer(const char* title, std::string input, const std::string& text, int problem,
                      int recorded = 0) {
  EndingCase c = abandoned(title, std::move(input), problem, recorded);
  c.status = 1;
  c.errors = answer_message(text);
  return c;
}

INSTANTIATE_TEST_SUITE_P(
    InputRunsOut, SessionEndingTest,
    ::testing::Values(
        ends_with("NothingTyped", "", "What is your name? \n"),
        ends_with("OnlyWhitespace", " \n\t\n", "What is your name? \n"),
        ends_with("EndRightAfterName", "Ann", kLimitPrompt + "\n"),
        ends_with("EndBeforeLimit", "Ann\n  \n", kLimitPrompt + "\n"),
        ends_with("MinusOneAskedAgainThenEnd", "Ann\n-1\n-1",
                  "What is your name? " + kLimitPrompt + kLimitPrompt + kLimitPrompt + "\n"),
        abandoned("EndAtFirstAnswer", "Ann\n3\n", 1),
        abandoned("EndInTheMiddleOfTheFirstTest", "Ann\n3\n1\n2", 3),
        abandoned("EndInTheMiddleOfTheSecondTest", "Ann\n0\n" + k20 + "y\n0\n0\n", 3, 1),
        ends_with("EndAtGoAgain", "Ann\n0\n" + k20, kGoAgain + "\n", 1),
        ends_with("CapitalYesThenNo", "Ann\n0\n" + k20 + "Yo\n" + k20 + "x\n", kGoAgain, 2),
        ends_with("HighByteIsNotYes", "Ann\n0\n" + k20 + "\xF9yes\n", kGoAgain, 1)),
    [](const ::testing::TestParamInfo<EndingCase>& info) { return info.param.title; });

INSTANTIATE_TEST_SUITE_P(
    NotANumber, SessionEndingTest,
    ::testing::Values(bad_limit("TwoWordName", "Ann Lee\n10\n", "Lee"),
                      bad_limit("LimitInWords", "Ann\nten\n", "ten"),
                      bad_limit("LoneSignThenEnd", "Ann\n-", "-"),
                      bad_limit("HexPrefixThenEnd", "Ann\n0x", "0x"),
                      bad_limit("MinusOneThenWords", "Ann\n-1\nx", "x", 2),
                      bad_answer("WordAsFirstAnswer", "Ann\n0\nabc\n0\n", "abc", 1),
                      bad_answer("DigitsThenLetters", "Ann\n0\n0\n12abc\n0\n", "abc", 3),
                      bad_answer("DecimalPoint", "Ann\n0\n3.\n", ".", 2),
                      bad_answer("LimitWithAFraction", "Ann\n10.5\n", ".5", 1),
                      bad_answer("YesPleaseInTheSecondTest",
                                 "Ann\n0\n" + k20 + "yes please\n" + k20, "please", 1, 1),
                      bad_answer("ArrowKeyIsShownAsQuestionMarks", "Ann\n0\n\x1b[D\n", "?[D", 1)),
    [](const ::testing::TestParamInfo<EndingCase>& info) { return info.param.title; });

// A whole session through the text-mode pair, as on Windows, CR LF typed:
// the console shows exactly what it shows without translation, each newline
// as CR LF, and the log holds the same bytes; a message ends in CR LF too.
TEST(Session, TextModeMatchesThePlainSessionLineForLine) {
  std::string plain_input = "Ann\n7\n";
  for (int i = 0; i < 20; ++i) plain_input += std::to_string(i % 9) + "\n";
  plain_input += "yes\n";
  for (int i = 0; i < 20; ++i) plain_input += "4\n";
  plain_input += "n\n";
  const std::string typed = testing_support::with_crlf(plain_input);
  const std::vector<std::optional<console::CalendarTime>> readings = {kTen, kTen, kTen + 95,
                                                                      kTen + 100, kTen + 160};

  SessionRun plain = run_session({.input = plain_input, .readings = readings});
  SessionRun text =
      run_session({.input = typed, .readings = readings, .chunk = 3, .text_mode = true});
  ASSERT_EQ(plain.status, 0);
  ASSERT_EQ(text.status, 0);
  EXPECT_EQ(text.console, testing_support::with_crlf(plain.console));
  EXPECT_EQ(text.log, plain.log);
  std::vector<testing_support::Block> blocks;
  std::string why;
  EXPECT_TRUE(testing_support::parse_records(text.log, &blocks, &why)) << why;
  EXPECT_EQ(blocks.size(), 2u);

  SessionRun rejected =
      run_session({.input = "Ann\r\nLee\r\n", .readings = readings, .text_mode = true});
  EXPECT_EQ(rejected.errors, testing_support::with_crlf(limit_message("Lee")));
}

TEST(Session, MinusOneLimitIsAskedAgainUntilUsable) {
  SessionRun session = run_session("Ann\n-1\n-1\n-5\n" + k20 + "n\n", {kTen});
  EXPECT_EQ(count(session.console, kLimitPrompt), 3);
  EXPECT_NE(session.console.find("Addend limits 0 through -5\n"), std::string::npos);
  // Limit -5 gives addends 0..3, so every sum prompt's addends are single digits.
  for (std::size_t at = session.console.find(" + "); at != std::string::npos;
       at = session.console.find(" + ", at + 1)) {
    EXPECT_LE(session.console[at - 1], '3');
    EXPECT_LE(session.console[at + 4], '3');
  }
}

// The name shows as `name` in the first verdict (a right answer), in the
// console report and in the log's block.
void expect_name_everywhere(const SessionRun& session, const std::string& name) {
  EXPECT_NE(session.console.find(testing_support::right_verdict(name, 1, 1)), std::string::npos);
  const std::vector<testing_support::Report> reports =
      testing_support::console_reports(session.console);
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].name, name);
  std::vector<testing_support::Block> blocks;
  std::string why;
  ASSERT_TRUE(testing_support::parse_records(session.log, &blocks, &why)) << why;
  ASSERT_EQ(blocks.size(), 1u);
  EXPECT_EQ(blocks[0].name, name);
}

TEST(Session, LongNameKeepsItsFirst255Bytes) {
  std::string name(300, 'q');
  name[254] = 'E';
  name[255] = 'X';
  SessionRun session = run_session(name + "\n0\n0\n" + k20 + "n\n", {kTen});
  std::string kept = name.substr(0, 255);
  expect_name_everywhere(session, kept);
  EXPECT_EQ(session.console.find(kept + "X"), std::string::npos);
}

// A name is shown and stored as make_printable() leaves it: an arrow key
// typed in it is no escape sequence on the console or in records.txt, and a
// cut never splits a character.
TEST(Session, NameIsShownAndStoredPrintable) {
  const std::string typed = "\x1b[DZo\xC3\xAB" + std::string(246, 'x') + "\xE2\x82\xAC";
  const std::string shown = "?[DZo\xC3\xAB" + std::string(246, 'x');
  SessionRun session = run_session(typed + "\n0\n" + k20 + "n\n", {kTen});
  EXPECT_EQ(session.status, 0);
  expect_name_everywhere(session, shown);
  EXPECT_EQ(session.console.find('\x1b'), std::string::npos);
  EXPECT_EQ(session.log.find('\x1b'), std::string::npos);
}

// A results log that refuses a block: one line on the error stream per test
// with the system's reason, and the console exactly as with a usable log.
TEST(Session, LostBlockIsReportedAndTheDialogueIsUnchanged) {
  const std::string input = "Ann\n0\n" + k20 + "y\n" + k20 + "n\n";
  SessionRun usable = run_session({.input = input, .readings = {kTen}});
  SessionRun refused = testing_support::run_session(
      {.input = input, .readings = {kTen}, .log_refusal = "Permission denied"});
  EXPECT_EQ(refused.status, 0);
  EXPECT_EQ(refused.console, usable.console);
  EXPECT_EQ(refused.log, "");
  const std::string lost = testing_support::lost_block_message("Permission denied");
  EXPECT_EQ(refused.errors, lost + lost);
  EXPECT_EQ(usable.errors, "");
}

// Where the drill is alone on its console window (started by a double-click
// on Windows), a message is followed by a request for Enter, and the drill
// waits for a line end typed after it; elsewhere it ends at once.
TEST(Session, PausesBeforeClosingOnlyAloneOnItsConsole) {
  // One byte per read, so the console input has read no further than the
  // rejected word and its line end.
  const std::string input = "Ann\nten\nlater\nleft";
  const std::string message = limit_message("ten");
  SessionRun alone =
      run_session({.input = input, .readings = {kTen}, .chunk = 1, .console_processes = 1});
  EXPECT_EQ(alone.status, 1);
  EXPECT_EQ(alone.errors, message + testing_support::kPressEnter);
  // It waited for the line typed after the message, and no further.
  EXPECT_EQ(alone.input_consumed, std::string("Ann\nten\nlater\n").size());
  SessionRun shared =
      run_session({.input = input, .readings = {kTen}, .chunk = 1, .console_processes = 2});
  EXPECT_EQ(shared.errors, message);
  EXPECT_EQ(shared.input_consumed, std::string("Ann\nten\n").size());
  EXPECT_EQ(shared.console, alone.console);
  // No console window (or not Windows), and a window shared by five.
  for (unsigned processes : {0u, 5u}) {
    SessionRun other = run_session(
        {.input = input, .readings = {kTen}, .chunk = 1, .console_processes = processes});
    EXPECT_EQ(other.errors, message) << processes;
    EXPECT_EQ(other.input_consumed, shared.input_consumed) << processes;
  }
  SessionRun declined =
      run_session({.input = "Ann\n0\n" + k20 + "n\n", .readings = {kTen}, .console_processes = 1});
  EXPECT_EQ(declined.errors, "");
}

TEST(Session, UnreadableClockStillRunsWholeTest) {
  SessionRun session = run_session("Ann\n0\n" + k20 + "n\n", {std::nullopt});
  EXPECT_EQ(session.status, 0);
  EXPECT_NE(
      session.console.find(testing_support::kStartingTime + testing_support::kNoTime + "\n\n\n"),
      std::string::npos);
  const std::vector<testing_support::Report> reports =
      testing_support::console_reports(session.console);
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].right, 20);
  EXPECT_EQ(reports[0].starting, testing_support::kNoTime);
  EXPECT_EQ(reports[0].elapsed, "0");
  EXPECT_EQ(session.log, testing_support::log_block(reports[0]));
}

}  // namespace
// A test of multiplication and division: the numbers question, asked again
// for a limit below 1, products and quotients of numbers from 1 to the
// limit, and the report's description and limit line.
TEST(Session, MultiplicationAndDivision) {
  const std::string input =
      "Ann\n0\n6\n1\n10\n24\n1\n3\n4\n6\n5\n12\n3\n2\n6\n1\n1\n12\n6\n1\n3\n4\n9\nn\n";
  const std::string expected =
      "Velmora Math Software -- version 1\n"
      "\n"
      "Dedicated to Marivane\n"
      "\n"
      "What is your name? How big do you want the numbers to be? How big do you want the numbers "
      "to be? Starting time:  Tue Dec 08 10:00:00 2026\n"
      "\n"
      "\n"
      "Ok, GO!!!   Good luck!!!\n"
      "\n"
      "1.\t 1 /  1 = That is right, Ann!  Now you have 1 out of 1\n"
      "\n"
      "2.\t 5 x  2 = That is right, Ann!  Now you have 2 out of 2\n"
      "\n"
      "3.\t 6 x  4 = That is right, Ann!  Now you have 3 out of 3\n"
      "\n"
      "4.\t 5 /  5 = That is right, Ann!  Now you have 4 out of 4\n"
      "\n"
      "5.\t24 /  6 = Sorry ... the correct answer is 4\n"
      "\n"
      "6.\t 4 x  1 = That is right, Ann!  Now you have 5 out of 6\n"
      "\n"
      "7.\t 6 /  1 = That is right, Ann!  Now you have 6 out of 7\n"
      "\n"
      "8.\t 1 x  5 = That is right, Ann!  Now you have 7 out of 8\n"
      "\n"
      "9.\t 6 x  2 = That is right, Ann!  Now you have 8 out of 9\n"
      "\n"
      "10.\t 3 x  1 = That is right, Ann!  Now you have 9 out of 10\n"
      "\n"
      "11.\t 2 x  1 = That is right, Ann!  Now you have 10 out of 11\n"
      "\n"
      "12.\t 3 x  2 = That is right, Ann!  Now you have 11 out of 12\n"
      "\n"
      "13.\t 3 /  3 = That is right, Ann!  Now you have 12 out of 13\n"
      "\n"
      "14.\t 6 /  6 = That is right, Ann!  Now you have 13 out of 14\n"
      "\n"
      "15.\t 4 x  3 = That is right, Ann!  Now you have 14 out of 15\n"
      "\n"
      "16.\t 3 x  2 = That is right, Ann!  Now you have 15 out of 16\n"
      "\n"
      "17.\t 3 /  3 = That is right, Ann!  Now you have 16 out of 17\n"
      "\n"
      "18.\t 1 x  3 = That is right, Ann!  Now you have 17 out of 18\n"
      "\n"
      "19.\t24 /  6 = That is right, Ann!  Now you have 18 out of 19\n"
      "\n"
      "20.\t 3 x  3 = That is right, Ann!  Now you have 19 out of 20\n"
      "\n"
      "Test results for Ann:\n"
      "Ending time:    Tue Dec 08 10:01:11 2026\n"
      "Starting time:  Tue Dec 08 10:00:00 2026\n"
      "Elapsed time:   71 seconds.\n"
      "\n"
      "Test description: 20 problems, mixed multiplication/division (random 50/50)\n"
      "Number limits 1 through 6\n"
      "You got 19 right out of 20 which is 95% -- so your grade is A\n"
      "Timed performance score is 25\n"
      "\n"
      "Do you want to go again? (y or n) ";
  const SessionRun session = testing_support::run_session(
      {.input = input, .readings = {kTen, kTen, kTen + 71}, .arguments = {"-o", "x/"}});
  EXPECT_EQ(session.status, 0);
  EXPECT_EQ(session.console, expected);
  EXPECT_EQ(session.errors, "");
  EXPECT_EQ(session.log,
            "-----------drillo1.exe: from www.velmora-math.com----------------------------\r\n"
            "Test results for Ann:\r\n"
            "Ending time:    Tue Dec 08 10:01:11 2026\r\n"
            "Starting time:  Tue Dec 08 10:00:00 2026\r\n"
            "Elapsed time:   71 seconds.\r\n"
            "Test description: 20  problems, mixed multiplication/division (random 50/50)\r\n"
            "Number limits 1 through 6\r\n"
            "Results: 19 right out of 20, grade 95% / A\r\n"
            "Time/performance rating: 25\r\n");
}

// Naming the default operations, in either order, changes nothing: the
// same seed gives the same session, byte for byte.
TEST(Session, NamedAdditionAndSubtractionIsTheDefaultSession) {
  const std::string input = "Ann\n10\n" + twenty_zeros() + "y\n8\n9\n" + twenty_zeros() + "n\n";
  const std::vector<std::optional<console::CalendarTime>> readings = {kTen, kTen, kTen + 95,
                                                                      kTen + 100, kTen + 160};
  const SessionRun plain = testing_support::run_session({.input = input, .readings = readings});
  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{"-o", "+-"}, {"--operations=-+"}}) {
    const SessionRun named = testing_support::run_session(
        {.input = input, .readings = readings, .arguments = arguments});
    EXPECT_EQ(named.status, plain.status);
    EXPECT_EQ(named.console, plain.console);
    EXPECT_EQ(named.errors, plain.errors);
    EXPECT_EQ(named.log, plain.log);
  }
  EXPECT_NE(plain.console.find("Test description: 20 problems, mixed addition/subtraction (random "
                               "50/50)\nAddend limits 0 through 10\n"),
            std::string::npos);
}

}  // namespace drill

namespace drill {
namespace {

struct AnswersCase {
  std::vector<std::string> arguments;
  std::string_view operations;
};

// Every answer of a finished test is kept, line by line as the screen shows
// the problems; a name that starts like a formula and holds a comma is
// guarded and quoted, and "010" is kept as the 8 it was judged as.
TEST(SessionAnswersTest, KeepsEveryAnswerOfAFinishedTestAsTheScreenShowsIt) {
  const AnswersCase cases[] = {
      {.arguments = {}, .operations = "addition/subtraction"},
      {.arguments = {"-o", "x/"}, .operations = "multiplication/division"},
  };
  const std::vector<testing_support::Typed> typed = {{"4", 4}, {"010", 8}, {"0", 0}, {"12", 12}};
  std::string input = "=Zo\xc3\xab,1\n9\n";
  for (int problem = 0; problem < 20; ++problem) input += typed[problem % 4].shown + "\n";
  input += "n\n";
  for (const AnswersCase& c : cases) {
    const SessionRun run = testing_support::run_session(
        {.input = input, .readings = {kTen}, .arguments = c.arguments});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.answers,
              testing_support::answers_from_screen(run.console, "2026-12-08T10:00:00",
                                                   "\"'=Zo\xc3\xab,1\"", c.operations, 9, typed))
        << c.operations;
  }
}

// A test that was not finished adds nothing; a second finished test adds its
// lines after the first one's, without a second header.
TEST(SessionAnswersTest, KeepsOnlyFinishedTestsUnderOneHeader) {
  const SessionRun stopped =
      testing_support::run_session({.input = "Ann\n5\n1\n2\n", .readings = {kTen}});
  EXPECT_EQ(stopped.answers, "");
  const SessionRun two = testing_support::run_session(
      {.input = "Ann\n5\n" + k20 + "y\n" + k20 + "y\n1\n", .readings = {kTen}});
  EXPECT_EQ(two.answers.find(records::kAnswersHeader), 0u);
  EXPECT_EQ(two.answers.find(records::kAnswersHeader, 1), std::string::npos);
  std::size_t lines = 0;
  for (char c : two.answers) lines += c == '\n' ? 1 : 0;
  EXPECT_EQ(lines, 1u + 40u);
}

// Answers that cannot be stored are reported in one line each test, and the
// blocks are stored as ever; a log that cannot be written keeps the answers.
TEST(SessionAnswersTest, EachFileFailsAlone) {
  const std::string input = "Ann\n5\n" + k20 + "n\n";
  const SessionRun no_answers = testing_support::run_session(
      {.input = input, .readings = {kTen}, .answers_refusal = "Permission denied"});
  EXPECT_EQ(no_answers.errors, testing_support::lost_answers_message("Permission denied"));
  EXPECT_NE(no_answers.log, "");
  const SessionRun no_log = testing_support::run_session(
      {.input = input, .readings = {kTen}, .log_refusal = "Permission denied"});
  EXPECT_EQ(no_log.errors, testing_support::lost_block_message("Permission denied"));
  EXPECT_NE(no_log.answers, "");
}

}  // namespace
}  // namespace drill
