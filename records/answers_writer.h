// The lines of answers.csv that record one finished test: one line per
// problem, in the layout of answers_format.h, each ended by CR LF. Built in
// a fixed buffer, without the heap, by the drill's report, which appends
// them to answers.csv beside the test's block in records.txt.
#ifndef RECORDS_ANSWERS_WRITER_H_
#define RECORDS_ANSWERS_WRITER_H_

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "records/format.h"
#include "records/operations.h"
#include "text/civil_time.h"
#include "text/text_buffer.h"

namespace records {

// One problem of a test as the child met it.
struct GivenAnswer {
  Operation operation = Operation::addition;
  std::int32_t first = 0;   // the numbers the prompt shows: "15 -  7 = "
  std::int32_t second = 0;  // gives 15 and 7
  std::int32_t correct = 0;
  std::int32_t answer = 0;         // as read and judged: "010" is 8
  std::uint32_t milliseconds = 0;  // from the prompt written to the answer read
};

// What the lines of one test are made of.
struct AnsweredTest {
  std::optional<text::CivilTime> start;  // nothing when the clock could not be read
  std::string_view name;                 // as records.txt logs it
  Operations operations = Operations::mixed_addition_subtraction();
  std::int32_t limit = 0;
  std::array<GivenAnswer, kProblemCount> answers = {};
};

// Room for the lines of a test whose name has the most bytes, each of them
// a quote to be doubled.
using AnswerLines = text::TextBuffer<kProblemCount*(2 * kMaxNameLength + 256)>;

// The test's lines:
//   started:     the start in local time as YYYY-MM-DDTHH:MM:SS, or empty
//                when it is not known;
//   name:        a "'" before it when it starts with '=', '+', '-', '@' or
//                "'", and before each part after a ';' that does (no
//                spreadsheet makes a formula of it, even one that splits on
//                ';', and a reader can always take exactly one "'" away),
//                then quoted as RFC 4180 says when it holds ',', ';' or '"';
//   operations:  the test's operations by name, joined by '/';
//   limit, problem (1 to 20), operation (by name), first, second, correct,
//   answer, right (1 or 0) and milliseconds.
// Nothing can fail.
AnswerLines answer_lines(const AnsweredTest& test);

}  // namespace records

#endif  // RECORDS_ANSWERS_WRITER_H_
