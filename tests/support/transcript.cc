#include "tests/support/transcript.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "records/answers_format.h"
#include "tests/support/fakes.h"

namespace testing_support {

namespace {

// Where a fact that a report shows is kept: a text or a number member of
// Report; neither for the end of the layout.
struct Field {
  std::string Report::*text = nullptr;
  std::int64_t Report::*number = nullptr;
};

// A stretch of fixed text, then the field that follows it (if any), by its
// mark in the layout.
struct Piece {
  std::string_view text;
  Field field;
  std::string_view mark;
};

// The console report, with "{field}" where a fact stands. Its lines end in
// "\n"; the empty line after the elapsed time is the second of two line
// ends.
constexpr std::string_view kConsoleLayout =
    "Test results for {name}:\n"
    "Ending time:    {ending}\n"
    "Starting time:  {starting}\n"
    "Elapsed time:   {elapsed} seconds.\n"
    "\n"
    "Test description: 20 problems, {description}\n"
    "{limits} limits {low} through {limit}\n"
    "You got {right} right out of 20 which is {percent}% -- so your grade is {grade}\n"
    "Timed performance score is {score}\n";

// The records.txt block after its separator line: the same facts, CR LF
// line ends, and two spaces before "problems".
constexpr std::string_view kLogLayout =
    "\r\n"
    "Test results for {name}:\r\n"
    "Ending time:    {ending}\r\n"
    "Starting time:  {starting}\r\n"
    "Elapsed time:   {elapsed} seconds.\r\n"
    "Test description: 20  problems, {description}\r\n"
    "{limits} limits {low} through {limit}\r\n"
    "Results: {right} right out of 20, grade {percent}% / {grade}\r\n"
    "Time/performance rating: {score}\r\n";

using Layout = std::vector<Piece>;
Layout pieces_of(std::string_view head, std::string_view layout);
const Layout& console_layout();
const Layout& log_layout();
std::string lay_out(const Layout& pieces, const Report& report);
std::optional<ParsedBlock> read_layout(const Layout& pieces, std::string_view text,
                                       std::size_t* failed_at);
std::string field_text(Field field, const Report& report);
bool set_field(Field field, std::string_view value, Report& report);

}  // namespace

std::string with_crlf(std::string_view text) {
  std::string out;
  for (char c : text) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return out;
}

std::string right_verdict(std::string_view name, int right, int number) {
  return "That is right, " + std::string(name) + "!  Now you have " + std::to_string(right) +
         " out of " + std::to_string(number) + "\n\n";
}

std::string wrong_verdict(std::int64_t correct) {
  return "Sorry ... the correct answer is " + std::to_string(correct) + "\n\n";
}

std::string limit_message(std::string_view text, std::string_view signs) {
  const std::string limit = limit_prompt(signs) == kNumbersPrompt ? "number" : "addend";
  return "mathdrill: the " + limit + " limit must be a whole number, not \"" + std::string(text) +
         "\"\n";
}

std::string answer_message(std::string_view text) {
  return "mathdrill: the answer must be a whole number, not \"" + std::string(text) +
         "\"; this test was not recorded\n";
}

std::string lost_block_message(std::string_view reason) {
  return "mathdrill: records.txt: " + std::string(reason) + "; this test was not recorded\n";
}

std::string lost_answers_message(std::string_view reason) {
  return "mathdrill: answers.csv: " + std::string(reason) +
         "; the answers of this test were not recorded\n";
}

std::string letter_grade(int percent) {
  struct Step {
    int from;
    const char* grade;
  };
  static constexpr Step kScale[] = {{98, "A+"}, {90, "A"}, {88, "B+"}, {80, "B"},
                                    {78, "C+"}, {70, "C"}, {68, "D+"}, {60, "D"}};
  for (const Step& step : kScale) {
    if (percent >= step.from) return step.grade;
  }
  return "F";
}

Report make_report(std::string_view name, std::int64_t limit, int right, std::int64_t start,
                   std::int64_t end, std::string_view signs) {
  Report report;
  report.name = name;
  report.description = test_description(signs);
  report.limits = limit_prompt(signs) == kNumbersPrompt ? "Number" : "Addend";
  report.low = signs.find('/') != std::string_view::npos ? 1 : 0;
  report.starting = utc_timestamp(start);
  report.ending = utc_timestamp(end);
  report.elapsed = std::to_string(end - start);
  report.limit = limit;
  report.right = right;
  report.percent = right * 100 / 20;
  report.grade = letter_grade(report.percent);
  report.score = right * report.percent / std::max<std::int64_t>(end - start, 1);
  return report;
}

std::string console_report(const Report& report) { return lay_out(console_layout(), report); }

std::string log_block(const Report& report) { return lay_out(log_layout(), report); }

std::vector<std::string> console_report_heads() {
  std::vector<std::string> heads;
  bool line_start = true;
  for (const Piece& piece : console_layout()) {
    std::string_view text = piece.text;
    for (std::size_t end = text.find('\n'); end != std::string_view::npos; end = text.find('\n')) {
      if (line_start && end > 0) heads.emplace_back(text.substr(0, end));
      text.remove_prefix(end + 1);
      line_start = true;
    }
    if (line_start && !text.empty()) heads.emplace_back(text);
    line_start = false;
  }
  return heads;
}

std::vector<Report> console_reports(std::string_view console) {
  std::vector<Report> reports;
  const std::string_view head = console_layout()[0].text;
  for (std::size_t at = console.find(head); at != std::string_view::npos;
       at = console.find(head, at + 1)) {
    const std::optional<ParsedBlock> parsed =
        read_layout(console_layout(), console.substr(at), nullptr);
    if (parsed) reports.push_back(parsed->report);
  }
  return reports;
}

std::string BlockFacts::text() const {
  const std::string percent = std::to_string(right * 5);
  const Report operations = make_report(name, 0, 0, 0, 0, signs);
  const std::pair<std::string_view, std::string> texts[] = {{"description", operations.description},
                                                            {"limits", operations.limits},
                                                            {"low", std::to_string(operations.low)},
                                                            {"name", name},
                                                            {"ending", end},
                                                            {"starting", start},
                                                            {"elapsed", elapsed},
                                                            {"limit", limit},
                                                            {"right", std::to_string(right)},
                                                            {"percent", percent},
                                                            {"grade", letter_grade(right * 5)},
                                                            {"score", rating}};
  // The separator line with `site` for the web-site name between "from "
  // and the hyphens that close it.
  const std::string_view separator = kSeparatorText;
  const std::size_t from = separator.find("from ") + 5;
  const std::size_t to = separator.find("--", from);
  std::string block =
      std::string(separator.substr(0, from)) + site + std::string(separator.substr(to));
  for (const Piece& piece : log_layout()) {
    if (piece.text == separator) continue;
    block += piece.text;
    for (const auto& [mark, value] : texts) {
      if (mark == piece.mark) block += value;
    }
  }
  // The layout's CR LF line ends become `line_end`.
  std::string ended;
  for (std::size_t at = 0; at < block.size(); ++at) {
    if (block.compare(at, 2, "\r\n") == 0) {
      ended += line_end;
      ++at;
    } else {
      ended += block[at];
    }
  }
  return ended;
}

std::optional<ParsedBlock> parse_block(std::string_view text, std::size_t* failed_at) {
  return read_layout(log_layout(), text, failed_at);
}

std::string utc_timestamp(std::int64_t time) {
  const std::optional<text::CivilTime> civil = utc_time(time);
  if (!civil) return std::string(kNoTime);
  char text[64];
  std::snprintf(text, sizeof text, "%.3s %.3s %02d %02d:%02d:%02d %4lld",
                &"SunMonTueWedThuFriSat"[3 * civil->weekday],
                &"JanFebMarAprMayJunJulAugSepOctNovDec"[3 * (civil->month - 1)], civil -> day,
                civil -> hour, civil -> minute, civil -> second,
                static_cast<long long>(civil->year));
  return text;
}

std::optional<std::int64_t> utc_seconds(std::string_view text) {
  // "Www Mmm DD hh:mm:ss YYYY": the fields are read by position, the date
  // turned into seconds, and the text must be what those seconds show.
  if (text.size() < 24) return std::nullopt;
  auto number = [&](std::size_t at, std::size_t length) -> std::optional<std::int64_t> {
    std::int64_t value = 0;
    const char* first = text.data() + at;
    const auto [end, error] = std::from_chars(first, first + length, value);
    if (error != std::errc() || end != first + length || *first == '-') return std::nullopt;
    return value;
  };
  const std::size_t month =
      std::string_view("JanFebMarAprMayJunJulAugSepOctNovDec").find(text.substr(4, 3));
  // The year stands right-aligned in four places or more.
  const std::size_t year_at = text.find_first_not_of(' ', 20);
  if (year_at == std::string_view::npos || year_at > 23) return std::nullopt;
  const auto day = number(8, 2), hour = number(11, 2), minute = number(14, 2),
             second = number(17, 2), year = number(year_at, text.size() - year_at);
  if (month == std::string_view::npos || month % 3 != 0 || !day || !hour || !minute || !second ||
      !year) {
    return std::nullopt;
  }
  // Days since 1970-01-01 of the proleptic Gregorian date; an impossible
  // day is caught by the comparison below.
  const int m = static_cast<int>(month / 3) + 1;
  const std::int64_t y = *year - (m <= 2);
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t year_of_era = y - era * 400;
  const std::int64_t day_of_year = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + *day - 1;
  const std::int64_t days =
      era * 146097 + year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year - 719468;
  const std::int64_t seconds = days * 86400 + *hour * 3600 + *minute * 60 + *second;
  if (*hour > 23 || *minute > 59 || *second > 59 || utc_timestamp(seconds) != text) {
    return std::nullopt;
  }
  return seconds;
}

namespace {

// Splits `layout` at its "{field}" marks into pieces, `head` first.
Layout pieces_of(std::string_view head, std::string_view layout) {
  static const std::pair<std::string_view, Field> kFields[] = {
      {"name", {.text = &Report::name}},         {"ending", {.text = &Report::ending}},
      {"starting", {.text = &Report::starting}}, {"elapsed", {.text = &Report::elapsed}},
      {"grade", {.text = &Report::grade}},       {"limit", {.number = &Report::limit}},
      {"right", {.number = &Report::right}},     {"percent", {.number = &Report::percent}},
      {"score", {.number = &Report::score}},     {"description", {.text = &Report::description}},
      {"limits", {.text = &Report::limits}},     {"low", {.number = &Report::low}}};
  Layout pieces;
  if (!head.empty()) pieces.push_back({head, Field{}, {}});
  for (std::size_t open = layout.find('{'); open != std::string_view::npos;
       open = layout.find('{')) {
    const std::size_t close = layout.find('}', open);
    const std::string_view name = layout.substr(open + 1, close - open - 1);
    Field field;
    for (const auto& [known, which] : kFields) {
      if (known == name) field = which;
    }
    pieces.push_back({layout.substr(0, open), field, name});
    layout.remove_prefix(close + 1);
  }
  pieces.push_back({layout, Field{}, {}});
  return pieces;
}

const Layout& console_layout() {
  static const Layout layout = pieces_of("", kConsoleLayout);
  return layout;
}

const Layout& log_layout() {
  static const Layout layout = pieces_of(kSeparatorText, kLogLayout);
  return layout;
}

std::string lay_out(const Layout& pieces, const Report& report) {
  std::string text;
  for (const Piece& piece : pieces)
    text += std::string(piece.text) + field_text(piece.field, report);
  return text;
}

// Reads `pieces` from the start of `text`: each fixed text must follow
// exactly, and each field runs up to the fixed text after it. The result
// must lay out to exactly the bytes it was read from, so a field in any
// other form (a leading zero, a plus sign) does not fit either.
std::optional<ParsedBlock> read_layout(const Layout& pieces, std::string_view text,
                                       std::size_t* failed_at) {
  ParsedBlock parsed;
  std::size_t at = 0;
  auto fail = [&](std::size_t where) -> std::optional<ParsedBlock> {
    if (failed_at != nullptr) *failed_at = where;
    return std::nullopt;
  };
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    const Piece& piece = pieces[i];
    for (std::size_t k = 0; k < piece.text.size(); ++k) {
      if (at + k >= text.size() || text[at + k] != piece.text[k]) return fail(at + k);
    }
    at += piece.text.size();
    if (piece.field.text == nullptr && piece.field.number == nullptr) continue;
    // A field never holds a line end, so it ends on this line, where the
    // part of the next fixed text that stands on this line begins.
    std::string_view next = i + 1 < pieces.size() ? pieces[i + 1].text : std::string_view();
    next = next.substr(0, next.find_first_of("\r\n"));
    const std::size_t line_end = std::min(text.find_first_of("\r\n", at), text.size());
    const std::size_t end = next.empty() ? line_end : text.find(next, at);
    if (end == std::string_view::npos || end > line_end) return fail(line_end);
    if (!set_field(piece.field, text.substr(at, end - at), parsed.report)) return fail(at);
    at = end;
  }
  parsed.length = at;
  const std::string again = lay_out(pieces, parsed.report);
  const auto [mine, theirs] = std::mismatch(again.begin(), again.end(), text.begin());
  if (mine != again.end()) return fail(static_cast<std::size_t>(theirs - text.begin()));
  return parsed;
}

std::string field_text(Field field, const Report& report) {
  if (field.text != nullptr) return report.*field.text;
  if (field.number != nullptr) return std::to_string(report.*field.number);
  return "";
}

// Stores `value` as `field`; false when a number field holds no number.
bool set_field(Field field, std::string_view value, Report& report) {
  if (field.text != nullptr) report.*field.text = value;
  if (field.number == nullptr) return true;
  const auto [end, error] =
      std::from_chars(value.data(), value.data() + value.size(), report.*field.number);
  return error == std::errc() && end == value.data() + value.size();
}

}  // namespace

namespace {

bool has_sign(std::string_view signs, char sign) {
  return signs.find(sign) != std::string_view::npos ||
         (sign == 'x' && signs.find('*') != std::string_view::npos);
}

}  // namespace

std::string limit_prompt(std::string_view signs) {
  return has_sign(signs, 'x') || has_sign(signs, '/') ? kNumbersPrompt : kLimitPrompt;
}

std::string test_description(std::string_view signs) {
  const std::pair<char, std::string_view> names[] = {
      {'+', "addition"}, {'-', "subtraction"}, {'x', "multiplication"}, {'/', "division"}};
  std::string joined;
  int count = 0;
  for (const auto& [sign, name] : names) {
    if (!has_sign(signs, sign)) continue;
    if (count++ > 0) joined += '/';
    joined += name;
  }
  if (count == 1) return joined + " only";
  const std::string_view shares[] = {"", "", "50/50", "1/3 each", "1/4 each"};
  return "mixed " + joined + " (random " + std::string(shares[count]) + ")";
}

std::string limit_line(std::string_view signs, std::int64_t limit) {
  const Report report = make_report("", limit, 0, 0, 0, signs);
  return report.limits + " limits " + std::to_string(report.low) + " through " +
         std::to_string(limit);
}

std::string answers_from_screen(const std::string& console, std::string_view started,
                                std::string_view name_field, std::string_view operations, int limit,
                                const std::vector<Typed>& typed, std::string_view milliseconds) {
  std::string lines(records::kAnswersHeader);
  lines += "\r\n";
  std::size_t at = 0;
  for (int problem = 1; problem <= 20; ++problem) {
    // "N.\tA op B = "
    const std::string head = std::to_string(problem) + ".\t";
    at = console.find(head, at);
    if (at == std::string::npos) return "no prompt " + std::to_string(problem);
    at += head.size();
    const long first = std::stol(console.substr(at, 2));
    const char sign = console[at + 3];
    const long second = std::stol(console.substr(at + 5, 2));
    const char* operation = sign == '+'   ? "addition"
                            : sign == '-' ? "subtraction"
                            : sign == 'x' ? "multiplication"
                                          : "division";
    const long correct = sign == '+'   ? first + second
                         : sign == '-' ? first - second
                         : sign == 'x' ? first * second
                                       : first / second;
    const long answer = typed[static_cast<std::size_t>(problem - 1) % typed.size()].value;
    lines += std::string(started) + "," + std::string(name_field) + "," + std::string(operations) +
             "," + std::to_string(limit) + "," + std::to_string(problem) + "," + operation + "," +
             std::to_string(first) + "," + std::to_string(second) + "," + std::to_string(correct) +
             "," + std::to_string(answer) + "," + (answer == correct ? "1" : "0") + "," +
             (milliseconds.empty() ? std::to_string(FakeClock::kMillisecondsStep)
                                   : std::string(milliseconds)) +
             "\r\n";
  }
  return lines;
}

}  // namespace testing_support
