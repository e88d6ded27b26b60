#include "records/answers_writer.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace records {
namespace {

// A test of twenty answers, all of `answer` to 7 x 8.
AnsweredTest test_of(std::string_view name, std::int32_t answer) {
  AnsweredTest test{.start = text::CivilTime{.year = 2026,
                                             .month = 12,
                                             .day = 8,
                                             .hour = 10,
                                             .minute = 0,
                                             .second = 5,
                                             .weekday = 2},
                    .name = name,
                    .operations = Operations::only(Operation::multiplication),
                    .limit = 10};
  for (GivenAnswer& each : test.answers) {
    each = {.operation = Operation::multiplication,
            .first = 7,
            .second = 8,
            .correct = 56,
            .answer = answer,
            .milliseconds = 2140};
  }
  return test;
}

std::string first_line(const AnswerLines& lines) {
  const std::string_view text = lines.view();
  return std::string(text.substr(0, text.find("\r\n") + 2));
}

TEST(AnswerLinesTest, WritesOneLinePerProblemInTheHeadersOrder) {
  const AnswerLines lines = answer_lines(test_of("Ann", 56));
  EXPECT_EQ(first_line(lines),
            "2026-12-08T10:00:05,Ann,multiplication,10,1,multiplication,7,8,56,56,1,2140\r\n");
  std::size_t count = 0;
  for (std::size_t at = lines.view().find("\r\n"); at != std::string_view::npos;
       at = lines.view().find("\r\n", at + 2)) {
    ++count;
  }
  EXPECT_EQ(count, 20u);
  EXPECT_NE(lines.view().find(",20,multiplication,7,8,56,56,1,2140\r\n"), std::string_view::npos);
}

struct NumbersCase {
  GivenAnswer answer;
  std::string_view fields;  // from the problem's number to the line end
};

// Small numbers are written digit by digit, others in general: both alike.
TEST(AnswerLinesTest, WritesEveryNumberAsItIs) {
  const NumbersCase cases[] = {
      {.answer = {.operation = Operation::addition,
                  .first = 0,
                  .second = 9,
                  .correct = 9,
                  .answer = 10,
                  .milliseconds = 0},
       .fields = "1,addition,0,9,9,10,0,0\r\n"},
      {.answer = {.operation = Operation::subtraction,
                  .first = 99,
                  .second = 100,
                  .correct = -1,
                  .answer = -1,
                  .milliseconds = 99},
       .fields = "1,subtraction,99,100,-1,-1,1,99\r\n"},
      {.answer = {.operation = Operation::multiplication,
                  .first = 2147483647,
                  .second = 1,
                  .correct = 2147483647,
                  .answer = -2147483647 - 1,
                  .milliseconds = 4294967295u},
       .fields = "1,multiplication,2147483647,1,2147483647,-2147483648,0,4294967295\r\n"},
  };
  for (const NumbersCase& c : cases) {
    AnsweredTest test = test_of("Ann", 56);
    test.answers[0] = c.answer;
    EXPECT_EQ(first_line(answer_lines(test)),
              "2026-12-08T10:00:05,Ann,multiplication,10," + std::string(c.fields))
        << c.fields;
  }
}

struct NameCase {
  std::string_view name;
  std::string_view field;
};

TEST(AnswerLinesTest, GuardsAndQuotesNamesSoThatAReaderGetsThemBack) {
  const NameCase cases[] = {
      {.name = "Zo\xc3\xab", .field = "Zo\xc3\xab"},
      {.name = "=1+1", .field = "'=1+1"},
      {.name = "'quoted", .field = "''quoted"},
      {.name = "-x", .field = "'-x"},
      {.name = "a,b", .field = "\"a,b\""},
      {.name = "a;=b", .field = "\"a;'=b\""},
      {.name = "=a;@b;c;-d;'e", .field = "\"'=a;'@b;c;'-d;''e\""},
      {.name = "a;;+b", .field = "\"a;;'+b\""},
      {.name = "O\"Neil", .field = "\"O\"\"Neil\""},
      {.name = "@SUM(1,1)", .field = "\"'@SUM(1,1)\""},
  };
  for (const NameCase& c : cases) {
    EXPECT_EQ(first_line(answer_lines(test_of(c.name, 56))),
              "2026-12-08T10:00:05," + std::string(c.field) +
                  ",multiplication,10,1,multiplication,7,8,56,56,1,2140\r\n")
        << c.name;
  }
}

TEST(AnswerLinesTest, MarksAWrongAnswerAndLeavesAnUnknownStartEmpty) {
  AnsweredTest test = test_of("Ann", -3);
  test.start = std::nullopt;
  EXPECT_EQ(first_line(answer_lines(test)),
            ",Ann,multiplication,10,1,multiplication,7,8,56,-3,0,2140\r\n");
}

TEST(AnswerLinesTest, HoldsTheLongestNameOfQuotesWhole) {
  const std::string quotes(kMaxNameLength, '"');
  const AnswerLines lines = answer_lines(test_of(quotes, 56));
  EXPECT_TRUE(lines.view().ends_with(",20,multiplication,7,8,56,56,1,2140\r\n"));
}

}  // namespace
}  // namespace records
