#include <gtest/gtest.h>

#include <string>

#include "console/append_file.h"
#include "console/byte_stream.h"
#include "console/clock.h"
#include "drill/driver.h"

// Whole sessions run in-process on given bytes at given clock readings, and
// compared byte for byte with transcripts written out from the dialogue
// rules. The first clock reading seeds the random source; then each test
// reads its start and end time.
namespace drill {
namespace {

constexpr console::CalendarTime kTen = 1796724000;  // 2026-12-08 10:00:00 UTC

struct Session {
  int status;
  std::string console;
  std::string errors;
  std::string log;
};

Session run_session(const std::string& input,
                    std::vector<std::optional<console::CalendarTime>> readings,
                    std::size_t chunk = 4096) {
  console::StringSource source(input, chunk);
  console::StringSink output, errors;
  console::FakeClock clock(std::move(readings));
  console::MemoryAppender log;
  int status = run_program(source, output, errors, clock, log);
  return {status, output.bytes(), errors.bytes(), log.contents()};
}

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
      "Velmora Math Software -- version 1\n"
      "\n"
      "Dedicated to Marivane\n"
      "\n"
      "What is your name? How big do you want the addends to be? Starting time:  Tue Dec 08 "
      "10:00:00 2026\n"
      "\n"
      "\n"
      "Ok, GO!!!   Good luck!!!\n"
      "\n"
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
    Session session =
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

// An answer that is not a number fails the input for good: the rest of the
// test is shown and judged wrong without waiting, and the go-again question,
// which can no longer be answered, ends the run with a line end.
TEST(Session, FailedAnswerCountsWrongAndEndsAfterTheTest) {
  const std::string expected =
      "Velmora Math Software -- version 1\n"
      "\n"
      "Dedicated to Marivane\n"
      "\n"
      "What is your name? How big do you want the addends to be? Starting time:  Tue Dec 08 "
      "10:00:00 2026\n"
      "\n"
      "\n"
      "Ok, GO!!!   Good luck!!!\n"
      "\n"
      "1.\t 7 -  3 = That is right, Bo!  Now you have 1 out of 1\n"
      "\n"
      "2.\t 3 -  1 = That is right, Bo!  Now you have 2 out of 2\n"
      "\n"
      "3.\t 2 -  0 = Sorry ... the correct answer is 2\n"
      "\n"
      "4.\t 6 -  1 = Sorry ... the correct answer is 5\n"
      "\n"
      "5.\t 8 -  4 = Sorry ... the correct answer is 4\n"
      "\n"
      "6.\t 1 -  1 = Sorry ... the correct answer is 0\n"
      "\n"
      "7.\t 8 -  5 = Sorry ... the correct answer is 3\n"
      "\n"
      "8.\t 0 +  2 = Sorry ... the correct answer is 2\n"
      "\n"
      "9.\t 8 -  5 = Sorry ... the correct answer is 3\n"
      "\n"
      "10.\t 4 -  0 = Sorry ... the correct answer is 4\n"
      "\n"
      "11.\t 1 +  3 = Sorry ... the correct answer is 4\n"
      "\n"
      "12.\t 4 +  2 = Sorry ... the correct answer is 6\n"
      "\n"
      "13.\t 5 -  0 = Sorry ... the correct answer is 5\n"
      "\n"
      "14.\t 1 +  4 = Sorry ... the correct answer is 5\n"
      "\n"
      "15.\t 4 -  0 = Sorry ... the correct answer is 4\n"
      "\n"
      "16.\t 1 +  4 = Sorry ... the correct answer is 5\n"
      "\n"
      "17.\t 7 -  5 = Sorry ... the correct answer is 2\n"
      "\n"
      "18.\t 4 +  2 = Sorry ... the correct answer is 6\n"
      "\n"
      "19.\t 0 +  0 = Sorry ... the correct answer is 0\n"
      "\n"
      "20.\t 2 -  1 = Sorry ... the correct answer is 1\n"
      "\n"
      "Test results for Bo:\n"
      "Ending time:    Tue Dec 08 10:00:07 2026\n"
      "Starting time:  Tue Dec 08 10:00:00 2026\n"
      "Elapsed time:   7 seconds.\n"
      "\n"
      "Test description: 20 problems, mixed addition/subtraction (random 50/50)\n"
      "Addend limits 0 through 5\n"
      "You got 2 right out of 20 which is 10% -- so your grade is F\n"
      "Timed performance score is 2\n"
      "\n"
      "Do you want to go again? (y or n) \n";
  Session session = run_session("Bo\n5\n4\n2\n9\nabc\n7\nyes\n", {kTen - 5, kTen, kTen + 7});
  EXPECT_EQ(session.status, 0);
  EXPECT_EQ(session.console, expected);
  EXPECT_NE(session.log.find("Results: 2 right out of 20, grade 10% / F\r\n"), std::string::npos);
}

// How a session ends when input runs out or cannot be read, checked on the
// console's last bytes, the error stream, the exit status and the log.
struct EndingCase {
  const char* title;
  std::string input;
  int status;
  std::string console_ends_with;
  std::string errors;
  int tests_run;
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
  Session session = run_session(c.input, {kTen});
  EXPECT_EQ(session.status, c.status);
  ASSERT_GE(session.console.size(), c.console_ends_with.size());
  EXPECT_EQ(session.console.substr(session.console.size() - c.console_ends_with.size()),
            c.console_ends_with);
  EXPECT_EQ(session.errors, c.errors);
  EXPECT_EQ(count(session.console, "Ok, GO!!!"), c.tests_run);
  EXPECT_EQ(count(session.log, "Time/performance rating: "), c.tests_run);
  // Every test shows exactly 20 problems.
  EXPECT_EQ(count(session.console, "\n20.\t"), c.tests_run);
  EXPECT_EQ(count(session.console, "\n21.\t"), 0);
}

const std::string kLimitPrompt = "How big do you want the addends to be? ";
const std::string kAgain = "\nDo you want to go again? (y or n) ";
const std::string kLimitError = "mathdrill: the addend limit must be a whole number\n";
// Twenty answers of 0: all right with the addend limit 0.
std::string twenty_zeros() {
  std::string answers;
  for (int i = 0; i < 20; ++i) answers += "0\n";
  return answers;
}
const std::string k20 = twenty_zeros();

INSTANTIATE_TEST_SUITE_P(
    InputRunsOut, SessionEndingTest,
    ::testing::Values(
        EndingCase{"NothingTyped", "", 0, "What is your name? \n", "", 0},
        EndingCase{"OnlyWhitespace", " \n\t\n", 0, "What is your name? \n", "", 0},
        EndingCase{"EndRightAfterName", "Ann", 0, kLimitPrompt + "\n", "", 0},
        EndingCase{"EndBeforeLimit", "Ann\n  \n", 0, kLimitPrompt + "\n", "", 0},
        EndingCase{"TwoWordName", "Ann Lee\n10\n", 1, kLimitPrompt + "\n", kLimitError, 0},
        EndingCase{"LimitInWords", "Ann\nten\n", 1, kLimitPrompt + "\n", kLimitError, 0},
        EndingCase{"LoneSignThenEnd", "Ann\n-", 1, kLimitPrompt + "\n", kLimitError, 0},
        EndingCase{"HexPrefixThenEnd", "Ann\n0x", 1, kLimitPrompt + "\n", kLimitError, 0},
        EndingCase{"MinusOneAskedAgainThenEnd", "Ann\n-1\n-1", 0,
                   "What is your name? " + kLimitPrompt + kLimitPrompt + kLimitPrompt + "\n", "",
                   0},
        EndingCase{"MinusOneThenWords", "Ann\n-1\nx", 1, kLimitPrompt + kLimitPrompt + "\n",
                   kLimitError, 0},
        EndingCase{"AnswersRunOut", "Ann\n3\n1\n2", 0, kAgain + "\n", "", 1},
        EndingCase{"EndAtGoAgain", "Ann\n0\n" + k20, 0, kAgain + "\n", "", 1},
        EndingCase{"YesPleaseFailsNextTest", "Ann\n0\n" + k20 + "yes please\n" + k20, 0,
                   kAgain + "\n", "", 2},
        EndingCase{"CapitalYesThenNo", "Ann\n0\n" + k20 + "Yo\n" + k20 + "x\n", 0, kAgain, "", 2},
        EndingCase{"HighByteIsNotYes", "Ann\n0\n" + k20 + "\xF9yes\n", 0, kAgain, "", 1}),
    [](const ::testing::TestParamInfo<EndingCase>& info) { return info.param.title; });

TEST(Session, MinusOneLimitIsAskedAgainUntilUsable) {
  Session session = run_session("Ann\n-1\n-1\n-5\n" + k20 + "n\n", {kTen});
  EXPECT_EQ(count(session.console, kLimitPrompt), 3);
  EXPECT_NE(session.console.find("Addend limits 0 through -5\n"), std::string::npos);
  // Limit -5 gives addends 0..3, so every sum prompt's addends are single digits.
  for (std::size_t at = session.console.find(" + "); at != std::string::npos;
       at = session.console.find(" + ", at + 1)) {
    EXPECT_LE(session.console[at - 1], '3');
    EXPECT_LE(session.console[at + 4], '3');
  }
}

TEST(Session, LongNameKeepsItsFirst255Bytes) {
  std::string name(300, 'q');
  name[254] = 'E';
  name[255] = 'X';
  Session session = run_session(name + "\n0\n0\n" + k20 + "n\n", {kTen});
  std::string kept = name.substr(0, 255);
  EXPECT_NE(session.console.find("That is right, " + kept + "!  Now you have 1 out of 1\n"),
            std::string::npos);
  EXPECT_NE(session.console.find("Test results for " + kept + ":\n"), std::string::npos);
  EXPECT_NE(session.log.find("Test results for " + kept + ":\r\n"), std::string::npos);
  EXPECT_EQ(session.console.find(kept + "X"), std::string::npos);
}

TEST(Session, UnreadableClockStillRunsWholeTest) {
  Session session = run_session("Ann\n0\n" + k20 + "n\n", {std::nullopt});
  EXPECT_EQ(session.status, 0);
  EXPECT_NE(session.console.find("Starting time:  ??? ??? ?? ??:??:?? ????\n\n\n"),
            std::string::npos);
  EXPECT_NE(session.console.find("You got 20 right out of 20"), std::string::npos);
  EXPECT_EQ(count(session.log, "\r\n"), 9);
}

}  // namespace
}  // namespace drill
