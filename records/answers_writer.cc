#include "records/answers_writer.h"

#include <algorithm>
#include <charconv>

namespace records {

namespace {

// What every line of a test starts with: its start, name, operations and
// limit, each followed by a comma.
using LineHead = text::TextBuffer<2 * kMaxNameLength + 128>;

template <std::size_t Size>
void put_started(text::TextBuffer<Size>* lines, const std::optional<text::CivilTime>& start);
template <std::size_t Size>
void put_name(text::TextBuffer<Size>* lines, std::string_view name);
template <std::size_t Size>
void put_number(text::TextBuffer<Size>* lines, std::int64_t value, std::size_t width = 1);

// The most bytes a number takes: a '-' and 19 digits.
constexpr std::size_t kNumberRoom = 20;
char* put_decimal(std::int64_t value, char* at);

}  // namespace

AnswerLines answer_lines(const AnsweredTest& test) {
  // The fields that every line repeats are laid out once.
  LineHead head;
  put_started(&head, test.start);
  head << ",";
  put_name(&head, test.name);
  head << "," << names(test.operations).view() << ",";
  put_number(&head, test.limit);
  head << ",";
  AnswerLines lines;
  for (std::size_t index = 0; index < test.answers.size(); ++index) {
    const GivenAnswer& answer = test.answers[index];
    // The problem's fields and the line end, written in place: each number
    // takes at most kNumberRoom bytes, the operation's name at most 14.
    char fields[8 * kNumberRoom + 32];
    char* at = put_decimal(static_cast<std::int64_t>(index) + 1, fields);
    *at++ = ',';
    const std::string_view operation = name(answer.operation);
    at = std::copy(operation.begin(), operation.end(), at);
    *at++ = ',';
    at = put_decimal(answer.first, at);
    *at++ = ',';
    at = put_decimal(answer.second, at);
    *at++ = ',';
    at = put_decimal(answer.correct, at);
    *at++ = ',';
    at = put_decimal(answer.answer, at);
    *at++ = ',';
    *at++ = answer.answer == answer.correct ? '1' : '0';
    *at++ = ',';
    at = put_decimal(answer.milliseconds, at);
    at = std::copy(kLineEnd.begin(), kLineEnd.end(), at);
    lines << head.view() << std::string_view(fields, static_cast<std::size_t>(at - fields));
  }
  return lines;
}

namespace {

// "2026-12-08T10:00:00": the year with at least four digits, a '-' before a
// negative one; nothing when the start is not known.
template <std::size_t Size>
void put_started(text::TextBuffer<Size>* lines, const std::optional<text::CivilTime>& start) {
  if (!start || !start->known()) return;
  if (start->year < 0) *lines << "-";
  put_number(lines, start->year < 0 ? -start->year : start->year, 4);
  *lines << "-";
  put_number(lines, start->month, 2);
  *lines << "-";
  put_number(lines, start->day, 2);
  *lines << "T";
  put_number(lines, start->hour, 2);
  *lines << ":";
  put_number(lines, start->minute, 2);
  *lines << ":";
  put_number(lines, start->second, 2);
}

template <std::size_t Size>
void put_name(text::TextBuffer<Size>* lines, std::string_view name) {
  const bool quoted = name.find_first_of(",;\"") != std::string_view::npos;
  if (quoted) *lines << '"';
  for (std::size_t at = 0; at < name.size(); ++at) {
    const char c = name[at];
    const bool part_starts = at == 0 || name[at - 1] == ';';
    if (part_starts && std::string_view("=+-@'").find(c) != std::string_view::npos) *lines << '\'';
    *lines << c;
    if (c == '"') *lines << '"';
  }
  if (quoted) *lines << '"';
}

// `value` in decimal, with zeros before it up to `width` digits.
template <std::size_t Size>
void put_number(text::TextBuffer<Size>* lines, std::int64_t value, std::size_t width) {
  char digits[kNumberRoom];
  const auto size = static_cast<std::size_t>(put_decimal(value, digits) - digits);
  for (std::size_t zeros = size; zeros < width; ++zeros) *lines << '0';
  *lines << std::string_view(digits, size);
}

// Writes `value` in decimal at `at`, which has room for kNumberRoom bytes.
// Returns the end of what it wrote.
char* put_decimal(std::int64_t value, char* at) {
  // Most fields are numbers of one or two digits.
  if (value >= 0 && value < 100) {
    if (value >= 10) *at++ = static_cast<char>('0' + value / 10);
    *at++ = static_cast<char>('0' + value % 10);
    return at;
  }
  return std::to_chars(at, at + kNumberRoom, value).ptr;
}

}  // namespace

}  // namespace records
