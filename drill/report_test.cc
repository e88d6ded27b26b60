#include "drill/report.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/fakes.h"
#include "tests/support/transcript.h"

namespace drill {
namespace {

// Every percent, so every row of the scale and both sides of each
// boundary, against the tests' model of the scale.
TEST(LetterGrade, EveryPercentGetsTheGradeOfTheScale) {
  for (std::int32_t percent = 0; percent <= 100; ++percent) {
    EXPECT_EQ(letter_grade(percent), testing_support::letter_grade(percent)) << percent;
  }
}

TEST(PerformanceScore, DividesByElapsedButNeverByLessThanOne) {
  struct Case {
    std::int32_t right = 0;
    std::int32_t percent = 0;
    double elapsed = 0;
    std::int32_t score = 0;
  };
  const Case cases[] = {
      {.right = 20, .percent = 100, .elapsed = 100, .score = 20},    // 2000 / 100
      {.right = 18, .percent = 90, .elapsed = 240, .score = 6},      // 1620 / 240 = 6.75
      {.right = 0, .percent = 0, .elapsed = 50, .score = 0},         //
      {.right = 20, .percent = 100, .elapsed = 0, .score = 2000},    // the same second: divisor 1
      {.right = 20, .percent = 100, .elapsed = -30, .score = 2000},  // clock set back: divisor 1
      {.right = 20, .percent = 100, .elapsed = 0.5, .score = 2000},  //
      {.right = 19, .percent = 95, .elapsed = 7, .score = 257},      // 1805 / 7 = 257.86
      {.right = 1, .percent = 5, .elapsed = 1e6, .score = 0},        //
  };
  for (const Case& c : cases) {
    EXPECT_EQ(performance_score(c.right, c.percent, c.elapsed), c.score) << c.elapsed;
  }
}

// Runs the report for a test and keeps what reached the console by the time
// the block was appended, to check the interleaved order.
class ReportTest : public ::testing::Test {
 protected:
  class WatchingLog : public console::Appender {
   public:
    WatchingLog(const testing_support::StringSink& console, bool usable)
        : console_(console), usable_(usable) {}
    console::AppendResult append(std::string_view block) override {
      console_at_append += console_.bytes();
      if (!usable_) return {false, "Permission denied"};
      contents.append(block);
      return {};
    }
    std::string_view name() const override { return "records.txt"; }
    std::string contents;
    std::string console_at_append;

   private:
    const testing_support::StringSink& console_;
    bool usable_;
  };

  void report(std::int32_t right, console::CalendarTime start, console::CalendarTime end,
              bool log_usable = true, std::string_view name = "Ann") {
    WatchingLog log(sink_, log_usable);
    {
      console::ConsoleOutput out(sink_);
      TestRecord record{name, 10, right, start, end, 20};
      result_ = write_report(record, out, clock_, log);
    }
    log_ = log.contents;
    console_at_append_ = log.console_at_append;
  }

  testing_support::FakeClock clock_{{}};
  testing_support::StringSink sink_;
  std::string log_;
  std::string console_at_append_;
  console::AppendResult result_;
};

constexpr console::CalendarTime kTen = 1796724000;  // 2026-12-08 10:00:00 UTC

TEST_F(ReportTest, AnnsExampleOnConsoleAndInLog) {
  report(18, kTen, kTen + 240);
  EXPECT_TRUE(result_.stored);
  const std::string console =
      "Test results for Ann:\n"
      "Ending time:    Tue Dec 08 10:04:00 2026\n"
      "Starting time:  Tue Dec 08 10:00:00 2026\n"
      "Elapsed time:   240 seconds.\n"
      "\n"
      "Test description: 20 problems, mixed addition/subtraction (random 50/50)\n"
      "Addend limits 0 through 10\n"
      "You got 18 right out of 20 which is 90% -- so your grade is A\n"
      "Timed performance score is 6\n";
  EXPECT_EQ(sink_.bytes(), console);
  EXPECT_EQ(log_,
            "-----------drillo1.exe: from www.velmora-math.com----------------------------\r\n"
            "Test results for Ann:\r\n"
            "Ending time:    Tue Dec 08 10:04:00 2026\r\n"
            "Starting time:  Tue Dec 08 10:00:00 2026\r\n"
            "Elapsed time:   240 seconds.\r\n"
            "Test description: 20  problems, mixed addition/subtraction (random 50/50)\r\n"
            "Addend limits 0 through 10\r\n"
            "Results: 18 right out of 20, grade 90% / A\r\n"
            "Time/performance rating: 6\r\n");
  // The block is appended once the console part of the report is complete.
  EXPECT_EQ(console_at_append_, console);
}

TEST_F(ReportTest, UnusableLogLeavesConsoleReportWholeAndGivesTheReason) {
  report(20, kTen, kTen + 100, /*log_usable=*/false);
  EXPECT_FALSE(result_.stored);
  EXPECT_EQ(result_.reason, "Permission denied");
  EXPECT_EQ(log_, "");
  EXPECT_NE(sink_.bytes().find("You got 20 right out of 20 which is 100% -- so your grade is A+\n"
                               "Timed performance score is 20\n"),
            std::string::npos);
}

// The whole report and block, against the tests' model, for elapsed times
// of every form "%g" gives them.
TEST_F(ReportTest, ElapsedTimeFormsOnConsoleAndInLog) {
  struct Case {
    console::CalendarTime elapsed = 0;
    const char* text = "";
  };
  const Case cases[] = {
      {.elapsed = 0, .text = "0"},
      {.elapsed = 488, .text = "488"},
      {.elapsed = 999999, .text = "999999"},
      {.elapsed = 1000000, .text = "1e+06"},
      {.elapsed = 1234567, .text = "1.23457e+06"},
      {.elapsed = -5, .text = "-5"},
  };
  for (const Case& c : cases) {
    sink_ = testing_support::StringSink();
    report(12, kTen, kTen + c.elapsed);
    testing_support::Report expected =
        testing_support::make_report("Ann", 10, 12, kTen, kTen + c.elapsed);
    expected.elapsed = c.text;
    EXPECT_EQ(sink_.bytes(), testing_support::console_report(expected)) << c.text;
    EXPECT_EQ(log_, testing_support::log_block(expected)) << c.text;
  }
}

// Every right count that twenty problems can give, against the model.
TEST_F(ReportTest, GradesThatTwentyProblemsCanGive) {
  for (std::int32_t right = 0; right <= 20; ++right) {
    sink_ = testing_support::StringSink();
    report(right, kTen, kTen + 60);
    const testing_support::Report expected =
        testing_support::make_report("Ann", 10, right, kTen, kTen + 60);
    EXPECT_EQ(sink_.bytes(), testing_support::console_report(expected)) << right;
    EXPECT_EQ(log_, testing_support::log_block(expected)) << right;
  }
}

TEST_F(ReportTest, MissingClockReadingsShowPlaceholderAndZeroElapsed) {
  WatchingLog log(sink_, true);
  {
    console::ConsoleOutput out(sink_);
    write_report(TestRecord{"Ann", 10, 20, std::nullopt, std::nullopt, 20}, out, clock_, log);
  }
  testing_support::Report expected = testing_support::make_report("Ann", 10, 20, 0, 0);
  expected.starting = expected.ending = testing_support::kNoTime;
  EXPECT_EQ(sink_.bytes(), testing_support::console_report(expected));
  EXPECT_EQ(log.contents, testing_support::log_block(expected));
  EXPECT_EQ(expected.score, 2000);
}

TEST_F(ReportTest, LongestNameFitsTheBlockWhole) {
  std::string name(255, 'z');
  report(20, kTen, kTen + 100, true, name);
  EXPECT_EQ(log_, testing_support::log_block(
                      testing_support::make_report(name, 10, 20, kTen, kTen + 100)));
}

}  // namespace
}  // namespace drill
