#include "tests/support/answers_lines.h"

#include "records/answers_format.h"

namespace testing_support {

namespace {

// The name as the drill logs it: a '\'' before a '=', '+', '-', '@' or
// '\'' at its start or after a ';', then in double quotes, its quotes
// doubled, when it holds a ',', ';' or '"'.
std::string logged_name(std::string_view name) {
  std::string guarded;
  for (std::size_t at = 0; at < name.size(); ++at) {
    const bool part_starts = at == 0 || name[at - 1] == ';';
    if (part_starts && std::string_view("=+-@'").find(name[at]) != std::string_view::npos) {
      guarded.push_back('\'');
    }
    guarded.push_back(name[at]);
  }
  if (guarded.find_first_of(",;\"") == std::string::npos) return guarded;
  std::string quoted = "\"";
  for (const char c : guarded) {
    quoted.push_back(c);
    if (c == '"') quoted.push_back('"');
  }
  quoted.push_back('"');
  return quoted;
}

}  // namespace

std::string AnswerLine::text() const {
  return started + "," + logged_name(name) + "," + operations + "," + std::to_string(limit) + "," +
         std::to_string(problem) + "," + operation + "," + std::to_string(first) + "," +
         std::to_string(second) + "," + std::to_string(correct) + "," + std::to_string(answer) +
         "," + (answer == correct ? "1" : "0") + "," + std::to_string(milliseconds) +
         std::string(line_end);
}

std::string answers_header() { return std::string(records::kAnswersHeader) + "\r\n"; }

}  // namespace testing_support
