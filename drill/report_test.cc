#include "drill/report.h"
#include "tests/support/fakes.h"

#include <gtest/gtest.h>

#include <string>

namespace drill {
namespace {

TEST(LetterGrade, EveryRowOfTheScaleAtItsBoundaries) {
  struct Row {
    std::int32_t lowest, highest;
    const char* grade;
  };
  const Row rows[] = {{98, 100, "A+"}, {90, 97, "A"},  {88, 89, "B+"},
                      {80, 87, "B"},   {78, 79, "C+"}, {70, 77, "C"},
                      {68, 69, "D+"},  {60, 67, "D"},  {0, 59, "F"}};
  for (const Row& row : rows) {
    EXPECT_STREQ(letter_grade(row.lowest), row.grade) << row.lowest;
    EXPECT_STREQ(letter_grade(row.highest), row.grade) << row.highest;
  }
}

TEST(PerformanceScore, DividesByElapsedButNeverByLessThanOne) {
  struct Case {
    std::int32_t right, percent;
    double elapsed;
    std::int32_t score;
  };
  const Case cases[] = {
      {20, 100, 100, 20},    // 2000 / 100
      {18, 90, 240, 6},      // 1620 / 240 = 6.75
      {0, 0, 50, 0},         //
      {20, 100, 0, 2000},    // the same second: divisor 1
      {20, 100, -30, 2000},  // clock set back: divisor 1
      {20, 100, 0.5, 2000},  //
      {19, 95, 7, 257},      // 1805 / 7 = 257.86
      {1, 5, 1e6, 0},        //
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

TEST_F(ReportTest, ElapsedTimeFormsOnConsoleAndInLog) {
  struct Case {
    console::CalendarTime elapsed;
    const char* text;
  };
  const Case cases[] = {
      {0, "0"},  {488, "488"}, {999999, "999999"}, {1000000, "1e+06"}, {1234567, "1.23457e+06"},
      {-5, "-5"}};
  for (const Case& c : cases) {
    sink_ = testing_support::StringSink();
    report(12, kTen, kTen + c.elapsed);
    std::string line = std::string("Elapsed time:   ") + c.text + " seconds.";
    EXPECT_NE(sink_.bytes().find(line + "\n\n"), std::string::npos) << c.text;
    EXPECT_NE(log_.find(line + "\r\n"), std::string::npos) << c.text;
  }
}

TEST_F(ReportTest, GradesThatTwentyProblemsCanGive) {
  struct Case {
    std::int32_t right;
    const char* console_line;
  };
  const Case cases[] = {
      {0, "You got 0 right out of 20 which is 0% -- so your grade is F\n"},
      {11, "You got 11 right out of 20 which is 55% -- so your grade is F\n"},
      {12, "You got 12 right out of 20 which is 60% -- so your grade is D\n"},
      {17, "You got 17 right out of 20 which is 85% -- so your grade is B\n"},
      {19, "You got 19 right out of 20 which is 95% -- so your grade is A\n"},
  };
  for (const Case& c : cases) {
    sink_ = testing_support::StringSink();
    report(c.right, kTen, kTen + 60);
    EXPECT_NE(sink_.bytes().find(c.console_line), std::string::npos) << c.right;
  }
}

TEST_F(ReportTest, MissingClockReadingsShowPlaceholderAndZeroElapsed) {
  WatchingLog log(sink_, true);
  {
    console::ConsoleOutput out(sink_);
    write_report(TestRecord{"Ann", 10, 20, std::nullopt, std::nullopt, 20}, out, clock_, log);
  }
  EXPECT_NE(sink_.bytes().find("Ending time:    ??? ??? ?? ??:??:?? ????\n"), std::string::npos);
  EXPECT_NE(sink_.bytes().find("Elapsed time:   0 seconds."), std::string::npos);
  EXPECT_NE(log.contents.find("Starting time:  ??? ??? ?? ??:??:?? ????\r\n"), std::string::npos);
  EXPECT_NE(sink_.bytes().find("Timed performance score is 2000\n"), std::string::npos);
}

TEST_F(ReportTest, LongestNameFitsTheBlockWhole) {
  std::string name(255, 'z');
  report(20, kTen, kTen + 100, true, name);
  EXPECT_NE(log_.find("Test results for " + name + ":\r\n"), std::string::npos);
  const std::string last = "\r\nTime/performance rating: 20\r\n";
  ASSERT_GT(log_.size(), last.size());
  EXPECT_EQ(log_.substr(log_.size() - last.size()), last);
}

}  // namespace
}  // namespace drill
