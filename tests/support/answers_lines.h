// The tests' one model of the lines the drill appends to answers.csv
// (records/answers_format.h): an answer's fields, written as the drill
// writes them, with the name guarded by a '\'' before each part a formula
// could start with and quoted as the format says. The answers reader's
// tests and mathdrill-progress's tests build their answers files from it.
#ifndef TESTS_SUPPORT_ANSWERS_LINES_H_
#define TESTS_SUPPORT_ANSWERS_LINES_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace testing_support {

// One answer as the drill logs it. `operation` and `operations` are the
// texts of the file ("division", "multiplication/division").
struct AnswerLine {
  std::string started = "2026-12-08T10:00:00";
  std::string name = "Ann";
  std::string operations = "addition/subtraction";
  std::int32_t limit = 10;
  std::int32_t problem = 1;
  std::string operation = "subtraction";
  std::int64_t first = 15;
  std::int64_t second = 7;
  std::int64_t correct = 8;
  std::int64_t answer = 8;
  std::uint32_t milliseconds = 2140;
  std::string_view line_end = "\r\n";

  // The line, with its line end; `right` follows from the answer.
  std::string text() const;
};

// The header line with CR LF.
std::string answers_header();

}  // namespace testing_support

#endif  // TESTS_SUPPORT_ANSWERS_LINES_H_
