#include "records/answers_writer.h"

#include "text/number_format.h"

namespace records {

namespace {

void put_started(AnswerLines* lines, const std::optional<text::CivilTime>& start);
void put_name(AnswerLines* lines, std::string_view name);
void put_number(AnswerLines* lines, std::int64_t value, std::size_t width = 1);

}  // namespace

AnswerLines answer_lines(const AnsweredTest& test) {
  AnswerLines lines;
  for (std::size_t index = 0; index < test.answers.size(); ++index) {
    const GivenAnswer& answer = test.answers[index];
    put_started(&lines, test.start);
    lines << ",";
    put_name(&lines, test.name);
    lines << "," << names(test.operations).view() << ",";
    put_number(&lines, test.limit);
    lines << ",";
    put_number(&lines, static_cast<std::int64_t>(index) + 1);
    lines << "," << name(answer.operation) << ",";
    put_number(&lines, answer.first);
    lines << ",";
    put_number(&lines, answer.second);
    lines << ",";
    put_number(&lines, answer.correct);
    lines << ",";
    put_number(&lines, answer.answer);
    lines << (answer.answer == answer.correct ? ",1," : ",0,");
    put_number(&lines, answer.milliseconds);
    lines << kLineEnd;
  }
  return lines;
}

namespace {

// "2026-12-08T10:00:00": the year with at least four digits, a '-' before a
// negative one; nothing when the start is not known.
void put_started(AnswerLines* lines, const std::optional<text::CivilTime>& start) {
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

void put_name(AnswerLines* lines, std::string_view name) {
  const bool guarded =
      !name.empty() && std::string_view("=+-@'").find(name[0]) != std::string_view::npos;
  const bool quoted = name.find_first_of(",;\"") != std::string_view::npos;
  if (quoted) *lines << "\"";
  if (guarded) *lines << "'";
  for (std::size_t at = 0; at < name.size();) {
    const std::size_t quote = name.find('"', at);
    if (quote == std::string_view::npos) {
      *lines << name.substr(at);
      break;
    }
    *lines << name.substr(at, quote + 1 - at) << "\"";
    at = quote + 1;
  }
  if (quoted) *lines << "\"";
}

// `value` in decimal, with zeros before it up to `width` digits.
void put_number(AnswerLines* lines, std::int64_t value, std::size_t width) {
  const text::NumberText number = text::format_integer(value);
  for (std::size_t size = number.size; size < width; ++size) *lines << "0";
  *lines << number.view();
}

}  // namespace

}  // namespace records
