#include "drill/report.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/fakes.h"
#include "tests/support/transcript.h"

namespace drill {
namespace {

// Runs the report for a test and keeps what reached the console by the time
// the block was appended, to check the interleaved order.
class ReportTest : public ::testing::Test {
 protected:
  class WatchingLog : public files::Appender {
   public:
    WatchingLog(const testing_support::StringSink& console, bool usable)
        : console_(console), usable_(usable) {}
    files::AppendResult append(std::string_view block) override {
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
      TestRecord record{.name = name,
                        .addend_limit = 10,
                        .right_count = right,
                        .start_time = start,
                        .end_time = end};
      result_ = write_report(record, out, clock_, log);
    }
    log_ = log.contents;
    console_at_append_ = log.console_at_append;
  }

  testing_support::FakeClock clock_{{}};
  testing_support::StringSink sink_;
  std::string log_;
  std::string console_at_append_;
  files::AppendResult result_;
};

constexpr console::CalendarTime kTen = 1796724000;  // 2026-12-08 10:00:00 UTC

TEST_F(ReportTest, AnnsExampleOnConsoleAndInLog) {
  report(18, kTen, kTen + 240);
  EXPECT_TRUE(result_.stored);
  const testing_support::Report ann = testing_support::make_report("Ann", 10, 18, kTen, kTen + 240);
  EXPECT_EQ(sink_.bytes(), testing_support::console_report(ann));
  EXPECT_EQ(log_, testing_support::log_block(ann));
  // The block is appended once the console part of the report is complete.
  EXPECT_EQ(console_at_append_, sink_.bytes());
}

TEST_F(ReportTest, UnusableLogLeavesConsoleReportWholeAndGivesTheReason) {
  report(20, kTen, kTen + 100, /*log_usable=*/false);
  EXPECT_FALSE(result_.stored);
  EXPECT_EQ(result_.reason, "Permission denied");
  EXPECT_EQ(log_, "");
  EXPECT_EQ(sink_.bytes(), testing_support::console_report(
                               testing_support::make_report("Ann", 10, 20, kTen, kTen + 100)));
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
    write_report(TestRecord{.name = "Ann",
                            .addend_limit = 10,
                            .right_count = 20,
                            .start_time = std::nullopt,
                            .end_time = std::nullopt},
                 out, clock_, log);
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

// A time in the clock's local time (the fake clock's is UTC), or the
// placeholder when there is no time or no breakdown of it.
TEST(LocalTimestamp, ShowsLocalTimeOrThePlaceholder) {
  testing_support::FakeClock clock{{}};
  EXPECT_EQ(local_timestamp(clock, kTen).view(), "Tue Dec 08 10:00:00 2026");
  EXPECT_EQ(local_timestamp(clock, std::nullopt).view(), testing_support::kNoTime);
  EXPECT_EQ(local_timestamp(clock, console::CalendarTime{1} << 62).view(),
            testing_support::kNoTime);
}

}  // namespace
}  // namespace drill
