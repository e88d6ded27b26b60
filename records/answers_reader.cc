#include "records/answers_reader.h"

#include <algorithm>
#include <array>
#include <functional>
#include <limits>
#include <optional>

#include "records/answers_format.h"
#include "records/field_cursor.h"
#include "records/format.h"
#include "records/number_field.h"

namespace records {

namespace {

using Fields = std::array<std::string_view, kAnswerFields>;

bool split_fields(std::string_view line, Fields* fields, std::size_t* head_size,
                  std::string* name_room);
// The fields of a problem (from the fifth on), each read.
struct ProblemFields {
  std::int64_t problem = 0;
  Operation operation = Operation::addition;
  std::int64_t first = 0;
  std::int64_t second = 0;
  std::int64_t correct = 0;
  std::int64_t given = 0;
  std::int64_t right = 0;
  std::int64_t milliseconds = 0;
};

bool read_problem(const Fields& fields, Answer* answer);
const char* read_problem_in_one_pass(const char* at, const char* end, Answer* answer);
bool problem_is_sound(const ProblemFields& problem, Answer* answer);
bool unguard_name(std::string_view logged, std::string* name);
std::optional<std::int64_t> parse_integer(std::string_view text, std::int64_t min,
                                          std::int64_t max);
std::optional<std::int64_t> parse_started(std::string_view text);
std::optional<Operations> parse_operations(std::string_view text);
std::uint64_t fingerprint_of_rest(const Fields& fields);
std::uint64_t fingerprint_with_start(std::uint64_t rest_hash, std::string_view started);

constexpr std::int64_t kInt32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t kInt64Min = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t kInt64Max = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kUint32Max = std::numeric_limits<std::uint32_t>::max();
// The bytes that get a '\'' before them at the start of a part of a name.
constexpr std::string_view kGuardedStarts = "=+-@'";
static_assert(
    [] {
      for (int a = 0; a < kOperationKinds; ++a) {
        for (int b = a + 1; b < kOperationKinds; ++b) {
          if (kOperationNames[a][0] == kOperationNames[b][0]) return false;
        }
      }
      return true;
    }(),
    "read_problem_in_one_pass() tells the operations by their names' first letters");
// The most digits read_problem_in_one_pass() reads in a number: every
// number of at most this many is within the 32-bit range.
constexpr std::ptrdiff_t kShortDigits = 9;
// How many bytes after the limit's comma take_whole_known_line() needs
// for read_problem_in_one_pass() and the line end after it: the problem,
// the longest operation's name, the numbers (each with a '-', as many
// digits as are read and the byte after them) and the right field, each
// with its comma, and CR LF.
constexpr std::size_t kProblemRoom = 96;
constexpr std::size_t kLongestOperationName = [] {
  std::size_t longest = 0;
  for (const std::string_view name : kOperationNames) longest = std::max(longest, name.size());
  return longest;
}();
static_assert(kProblemRoom >= (kShortDigits + 1) + (kLongestOperationName + 1) +
                                  5 * (1 + kShortDigits + 1) + 2 + 2);

// The operation whose name starts with a byte, or -1 for none.
constexpr std::array<std::int8_t, 256> kOperationOfFirstByte = [] {
  std::array<std::int8_t, 256> kinds;
  kinds.fill(-1);
  for (int kind = 0; kind < kOperationKinds; ++kind) {
    kinds[static_cast<unsigned char>(kOperationNames[kind][0])] = static_cast<std::int8_t>(kind);
  }
  return kinds;
}();

// Whether a number read by short_number() may have a '-': fields whose
// range has no negative number fail on one anyway, and need not look.
enum class Sign { may_be_negative, never_negative };

// Reads the number at `*at`, as the drill writes it (number_field.h), of
// at most kShortDigits digits, and moves `*at` past it. The digits stop at
// the first other byte, so the text must end in one that is no digit.
// Fails, leaving `*at` as it was, when there is no number there, on a
// leading zero or "-0", on more digits, and on a '-' that `sign` rules out.
template <Sign sign>
[[gnu::always_inline]] inline bool short_number(const char** at, std::int64_t* value) {
  const char* p = *at;
  bool negative = false;
  if constexpr (sign == Sign::may_be_negative) {
    negative = *p == '-';
    if (negative) ++p;
  }
  const auto digit_at = [](const char* byte) {
    return static_cast<unsigned>(static_cast<unsigned char>(*byte)) - unsigned{'0'};
  };
  std::uint64_t magnitude = digit_at(p);
  if (magnitude > 9) return false;
  const char* const digits = p++;
  if (magnitude == 0) {
    // "0" alone: no digit after it, and no '-' before it.
    if (negative || digit_at(p) < 10) return false;
  } else {
    for (unsigned digit; (digit = digit_at(p)) < 10; ++p) magnitude = magnitude * 10 + digit;
    // Past kShortDigits digits the magnitude may have wrapped.
    if (p - digits > kShortDigits) return false;
  }
  const auto read = static_cast<std::int64_t>(magnitude);
  *value = negative ? -read : read;
  *at = p;
  return true;
}

// A number as short_number() reads it, then a comma, passed over too.
// Fails on any other text.
template <Sign sign>
[[gnu::always_inline]] inline bool short_field(const char** at, std::int64_t* value) {
  if (!short_number<sign>(at, value) || **at != ',') return false;
  ++*at;
  return true;
}

// "0" or "1", then a comma, passed over too: the right field as
// short_field() reads it within 0..1. Fails on any other text.
[[gnu::always_inline]] inline bool right_field(const char** at, std::int64_t* value) {
  const char* p = *at;
  if ((p[0] != '0' && p[0] != '1') || p[1] != ',') return false;
  *value = p[0] - '0';
  *at = p + 2;
  return true;
}

}  // namespace

bool is_answers_header(std::string_view line) { return line == kAnswersHeader; }

void AnswersReader::add(std::string_view bytes) {
  rest_ = bytes;
  // The last byte of the piece that is no digit, or its start when every
  // byte is one: take_whole_known_line() reads only well before it.
  std::size_t stop = bytes.size();
  while (stop > 0 && static_cast<unsigned char>(bytes[stop - 1] - '0') < 10) --stop;
  last_stop_ = bytes.data() + (stop > 0 ? stop - 1 : 0);
}

const Answer* AnswersReader::next() {
  while (!rest_.empty()) {
    if (const std::size_t taken = take_whole_known_line(); taken != 0) {
      rest_.remove_prefix(taken);
      answer_.line = ++counts_.lines;
      ++counts_.tests;
      return &answer_;
    }
    if (take_next_line()) return &answer_;
  }
  return nullptr;
}

// Reads the line at the front of rest_ as take_line() does, found by its
// LF; a line that goes on in a later piece is kept for it. Returns whether
// the line is a sound answer, now in answer_. Never inlined into next(),
// whose every call would otherwise pay for the larger frame that this one
// needs.
[[gnu::noinline]] bool AnswersReader::take_next_line() {
  const std::size_t end = rest_.find('\n');
  if (end == std::string_view::npos) {
    keep_partial(rest_);
    rest_ = {};
    return false;
  }
  std::string_view line = rest_.substr(0, end);
  rest_.remove_prefix(end + 1);
  if (!partial_.empty()) {
    keep_partial(line);
    line_.swap(partial_);
    partial_.clear();
    line = line_;
  }
  return take_line(line);
}

// Reads the line at the front of rest_ when it is, as most lines are, a
// line of the last sound line's test whose problem's fields are short and
// whole in the piece: its head is compared and its problem's fields read
// in one pass, which finds the line's end too, with no search for the LF.
// Returns the line's size with its LF, its answer in answer_; 0 leaves the
// line to take_line(), which reads it the same way when it is sound: so
// too when the piece ends too soon, within a line kept from the last
// piece, and on the first line, which may start with a byte-order mark.
[[gnu::always_inline]] inline std::size_t AnswersReader::take_whole_known_line() {
  const std::string_view head = head_->text;
  // Every digit run that starts before the last byte of the piece that is
  // no digit ends by it: kProblemRoom bytes before it, the one-pass
  // reading of a problem stays in the piece.
  if (!partial_.empty() || counts_.lines == 0 || head.empty() ||
      last_stop_ - rest_.data() < static_cast<std::ptrdiff_t>(head.size() + 1 + kProblemRoom)) {
    return 0;
  }
  const char* const line = rest_.data();
  if (line[head.size()] != ',' || !same_bytes(line, head.data(), head.size())) return 0;
  const char* const problem = line + head.size() + 1;
  const char* const after = read_problem_in_one_pass(problem, problem + kProblemRoom, &answer_);
  if (after == nullptr) return 0;
  // The line ends in CR LF or LF, and is no longer than take_line() takes.
  const char* const line_end = after + (*after == '\r' ? 1 : 0);
  if (*line_end != '\n' || static_cast<std::size_t>(after - line) > kMaxLineLength ||
      !answer_.operations.has(answer_.operation)) {
    return 0;
  }
  return static_cast<std::size_t>(line_end + 1 - line);
}

const ReadCounts& AnswersReader::finish() {
  // A last line without a line end is a write cut short: skipped.
  if (!partial_.empty()) {
    const std::uint64_t number = ++counts_.lines;
    count_skipped(number, number, &open_range_, &counts_);
    partial_.clear();
  }
  close_skipped(&open_range_, &counts_);
  return counts_;
}

// Reads one line, without its LF. Returns whether it is a sound answer,
// now in answer_; a header line is passed over, any other line counted as
// skipped. The byte just past `line` is always readable and never a digit
// or a comma: it is the line's LF or CR in the piece, or the NUL that ends
// line_; the one-pass reading stops its numbers on it.
[[gnu::always_inline]] inline bool AnswersReader::take_line(std::string_view line) {
  const std::uint64_t number = ++counts_.lines;
  if (number == 1 && line.starts_with(kByteOrderMark)) line.remove_prefix(kByteOrderMark.size());
  if (line.ends_with('\r')) line.remove_suffix(1);
  if (is_answers_header(line)) return false;
  if (line.size() <= kMaxLineLength && (read_known_test(line) || read_any(line)) &&
      answer_.operations.has(answer_.operation)) {
    answer_.line = number;
    ++counts_.tests;
    return true;
  }
  count_skipped(number, number, &open_range_, &counts_);
  return false;
}

// Reads a line of a test whose head is known, as most lines are: the line
// starts with the text up to the limit of the last sound line, or of an
// earlier test but for its start (the child's next test), and its
// problem's fields are read in one pass. Returns whether it did, with the
// test in head_ and answer_ and the problem in answer_; false leaves the
// line, and the heads, to read_any(), which reads every line the drill can
// write, and the same way.
[[gnu::always_inline]] inline bool AnswersReader::read_known_test(std::string_view line) {
  const std::string_view head = head_->text;
  TestHead* next = nullptr;
  std::optional<std::int64_t> started;
  std::size_t head_size = head.size();
  if (head.empty() || line.size() <= head_size || line[head_size] != ',' ||
      !same_bytes(line.data(), head.data(), head_size)) {
    next = earlier_head_of(line);
    if (next == nullptr) return false;
    head_size = next->text.size();
    // A start that parse_started() takes holds no comma and no quote: the
    // line's fields are split where the earlier head's were.
    started = parse_started(line.substr(0, next->started.size()));
    if (!started) return false;
  }
  const std::string_view problem = line.substr(head_size + 1);
  const char* const problem_end = problem.data() + problem.size();
  if (read_problem_in_one_pass(problem.data(), problem_end, &answer_) != problem_end) return false;
  if (next != nullptr) {
    const std::string_view started_text = line.substr(0, next->started.size());
    next->text.replace(0, started_text.size(), started_text);
    next->started.assign(started_text);
    head_ = next;
    answer_.started = next->started;
    answer_.started_key = *started;
    answer_.name = next->name;
    answer_.operations = next->operations;
    answer_.limit = next->limit;
    answer_.fingerprint = fingerprint_with_start(next->rest_hash, started_text);
  }
  return true;
}

// The kept head, other than the last, that `line` starts with but for the
// start, followed by a comma; null when there is none.
AnswersReader::TestHead* AnswersReader::earlier_head_of(std::string_view line) {
  for (TestHead& kept : heads_) {
    const std::size_t size = kept.text.size();
    if (&kept != head_ && line.size() > size && line[size] == ',' &&
        same_but_start(kept, line.substr(0, size))) {
      return &kept;
    }
  }
  return nullptr;
}

// Whether `text`, a line up to the limit's end, is the kept head's text
// but for the start.
bool AnswersReader::same_but_start(const TestHead& kept, std::string_view text) {
  const std::size_t started_size = kept.started.size();
  return !kept.text.empty() && text.size() == kept.text.size() &&
         same_bytes(text.data() + started_size, kept.text.data() + started_size,
                    text.size() - started_size);
}

// Reads any line: its fields split by RFC 4180, then read one by one.
// Returns whether it is sound, with its problem in answer_ and its test in
// head_.
bool AnswersReader::read_any(std::string_view line) {
  Fields fields;
  std::size_t head_size = 0;
  return split_fields(line, &fields, &head_size, &name_) &&
         read_head(line.substr(0, head_size), fields) && read_problem(fields, &answer_);
}

// Reads the fields that name the test into a kept head and answer_, unless
// `text`, the line up to the limit's end, is the last one read. Fails,
// keeping nothing, when a field is not valid.
bool AnswersReader::read_head(std::string_view text, const Fields& fields) {
  if (!head_->text.empty() && text == head_->text) return true;
  // A head of the same text but another start, kept earlier, is read again
  // into its place rather than kept twice.
  TestHead* head = &heads_[next_head_];
  for (TestHead& kept : heads_) {
    if (same_but_start(kept, text)) head = &kept;
  }
  if (head == &heads_[next_head_]) next_head_ = (next_head_ + 1) % kHeadsKept;
  head_ = head;
  head->text.clear();
  const std::optional<std::int64_t> started = parse_started(fields[0]);
  const bool name = unguard_name(fields[1], &head->name);
  const std::optional<Operations> operations = parse_operations(fields[2]);
  const std::optional<std::int64_t> limit = parse_integer(fields[3], kInt32Min, kInt32Max);
  if (!started || !name || !operations || !limit) return false;
  head->started.assign(fields[0]);
  head->text.assign(text);
  head->operations = *operations;
  head->limit = static_cast<std::int32_t>(*limit);
  head->rest_hash = fingerprint_of_rest(fields);
  // Every answer of the test hands these out as they are.
  answer_.started = head->started;
  answer_.started_key = *started;
  answer_.name = head->name;
  answer_.operations = head->operations;
  answer_.limit = head->limit;
  answer_.fingerprint = fingerprint_with_start(head->rest_hash, fields[0]);
  return true;
}

// Keeps the part of a line that a piece ends in, up to two bytes more than
// the longest line read: enough to tell that a longer line is too long.
void AnswersReader::keep_partial(std::string_view part) {
  const std::size_t room = kMaxLineLength + 2 - std::min(partial_.size(), kMaxLineLength + 2);
  partial_.append(part.substr(0, std::min(room, part.size())));
}

namespace {

std::optional<std::string_view> take_field(std::string_view* rest, std::string* room);
std::optional<Operation> parse_operation(std::string_view text);
std::optional<std::int64_t> result_of(Operation operation, std::int64_t first, std::int64_t second);

// Splits `line` into exactly kAnswerFields fields by RFC 4180, and sets
// `head_size` to the size of the line's start up to the limit's end. A
// quoted field with doubled quotes is put, unquoted, into `name_room`,
// which only the name may need. Fails on too few or too many fields, a
// quote inside an unquoted field, or a quoted field not closed or followed
// by other text.
bool split_fields(std::string_view line, Fields* fields, std::size_t* head_size,
                  std::string* name_room) {
  std::string_view rest = line;
  for (std::size_t index = 0; index < kAnswerFields; ++index) {
    const std::optional<std::string_view> field = take_field(&rest, name_room);
    if (!field) return false;
    (*fields)[index] = *field;
    if (index == 3) *head_size = line.size() - rest.size();
    const bool last = index + 1 == kAnswerFields;
    if (last) return rest.empty();
    if (!rest.starts_with(',')) return false;
    rest.remove_prefix(1);
  }
  return false;
}

// Takes one field from the front of `rest`, leaving the comma after it.
std::optional<std::string_view> take_field(std::string_view* rest, std::string* room) {
  if (!rest->starts_with('"')) {
    // Fields are short: a byte loop beats a search for each of ',' and '"'.
    std::size_t end = 0;
    for (; end < rest->size() && (*rest)[end] != ','; ++end) {
      if ((*rest)[end] == '"') return std::nullopt;
    }
    const std::string_view field = rest->substr(0, end);
    rest->remove_prefix(end);
    return field;
  }
  // A quoted field: its view when it holds no doubled quote, else its text
  // with each doubled quote made single in `room`.
  std::size_t at = 1;
  bool doubled = false;
  while (true) {
    const std::size_t quote = rest->find('"', at);
    if (quote == std::string_view::npos) return std::nullopt;
    if (quote + 1 < rest->size() && (*rest)[quote + 1] == '"') {
      doubled = true;
      at = quote + 2;
      continue;
    }
    const std::string_view inside = rest->substr(1, quote - 1);
    rest->remove_prefix(quote + 1);
    if (!doubled) return inside;
    room->clear();
    for (std::size_t i = 0; i < inside.size(); ++i) {
      room->push_back(inside[i]);
      if (inside[i] == '"') ++i;  // the second of a doubled quote
    }
    return std::string_view(*room);
  }
}

// Reads the fields of the problem (from the fifth on) into `answer`. Fails
// when a field is not valid or the fields contradict each other.
bool read_problem(const Fields& fields, Answer* answer) {
  const std::optional<std::int64_t> problem = parse_integer(fields[4], 1, kProblemCount);
  const std::optional<Operation> operation = parse_operation(fields[5]);
  const std::optional<std::int64_t> first = parse_integer(fields[6], kInt32Min, kInt32Max);
  const std::optional<std::int64_t> second = parse_integer(fields[7], kInt32Min, kInt32Max);
  const std::optional<std::int64_t> correct = parse_integer(fields[8], kInt64Min, kInt64Max);
  const std::optional<std::int64_t> given = parse_integer(fields[9], kInt32Min, kInt32Max);
  const std::optional<std::int64_t> right = parse_integer(fields[10], 0, 1);
  const std::optional<std::int64_t> milliseconds = parse_integer(fields[11], 0, kUint32Max);
  if (!problem || !operation || !first || !second || !correct || !given || !right ||
      !milliseconds) {
    return false;
  }
  return problem_is_sound({.problem = *problem,
                           .operation = *operation,
                           .first = *first,
                           .second = *second,
                           .correct = *correct,
                           .given = *given,
                           .right = *right,
                           .milliseconds = *milliseconds},
                          answer);
}

// Reads the problem's fields at `at`, the line after the limit's comma, in
// one pass, as the drill writes them: numbers as "%d" writes them
// (number_field.h), of at most kShortDigits digits, and the operation's
// name, each but the last followed by a comma. A digit run must end in a
// readable byte that is no digit, and the operation's name is looked for
// only before `end`. Returns the byte past the last field, which the
// caller checks is the line's end; null on anything else, which
// read_problem() then decides, and as read_problem() does on fields that
// contradict each other.
[[gnu::always_inline]] inline const char* read_problem_in_one_pass(const char* at, const char* end,
                                                                   Answer* answer) {
  ProblemFields problem;
  if (!short_number<Sign::never_negative>(&at, &problem.problem) || problem.problem < 1 ||
      problem.problem > kProblemCount || *at != ',') {
    return nullptr;
  }
  ++at;
  // The operation is told by its name's first letter, which no other
  // name starts with; the rest of the name is then compared.
  const int kind = kOperationOfFirstByte[static_cast<unsigned char>(*at)];
  if (kind < 0) return nullptr;
  problem.operation = static_cast<Operation>(kind);
  const std::string_view name = kOperationNames[kind];
  if (end - at <= static_cast<std::ptrdiff_t>(name.size()) ||
      !same_bytes(at, name.data(), name.size()) || at[name.size()] != ',') {
    return nullptr;
  }
  at += name.size() + 1;
  // Numbers of at most kShortDigits digits are within the ranges of first,
  // second, correct and answer.
  constexpr Sign kSigned = Sign::may_be_negative;
  constexpr Sign kUnsigned = Sign::never_negative;
  const bool read =
      short_field<kSigned>(&at, &problem.first) && short_field<kSigned>(&at, &problem.second) &&
      short_field<kSigned>(&at, &problem.correct) && short_field<kSigned>(&at, &problem.given) &&
      right_field(&at, &problem.right) && short_number<kUnsigned>(&at, &problem.milliseconds) &&
      problem_is_sound(problem, answer);
  return read ? at : nullptr;
}

// Whether the problem's fields agree: the right answer is the result of
// the two numbers, and the answer is marked right exactly when it is that.
// Sets them in `answer` when they do.
[[gnu::always_inline]] inline bool problem_is_sound(const ProblemFields& problem, Answer* answer) {
  if (result_of(problem.operation, problem.first, problem.second) != problem.correct) return false;
  if ((problem.right == 1) != (problem.given == problem.correct)) return false;
  answer->problem = static_cast<std::int32_t>(problem.problem);
  answer->operation = problem.operation;
  answer->first = problem.first;
  answer->second = problem.second;
  answer->correct = problem.correct;
  answer->answer = problem.given;
  answer->right = problem.right == 1;
  answer->milliseconds = static_cast<std::uint32_t>(problem.milliseconds);
  return true;
}

// The name as records.txt logs it, in `*name`: at its start and after each
// ';', one '\'' taken away when '=', '+', '-', '@' or '\'' follows it, the
// guard the drill puts before each such part so that no spreadsheet, one
// that splits on ';' included, makes a formula of it. Fails on a name the
// drill cannot log: too long, with whitespace or a NUL, or with a '\''
// before any other byte at the start of a part.
bool unguard_name(std::string_view logged, std::string* name) {
  name->clear();
  for (std::size_t at = 0; at < logged.size(); ++at) {
    const char c = logged[at];
    if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f' || c == '\0') {
      return false;
    }
    const bool part_starts = at == 0 || logged[at - 1] == ';';
    if (part_starts && c == '\'') {
      if (at + 1 == logged.size() ||
          kGuardedStarts.find(logged[at + 1]) == std::string_view::npos) {
        return false;
      }
      continue;  // the guard
    }
    name->push_back(c);
  }
  return name->size() <= kMaxNameLength;
}

// A whole field that is a number in [min, max], written as the drill
// writes numbers (number_field.h: no '+', no leading zero, no "-0").
// Nothing for any other text. Inlined, as the reading of the first line of
// each test takes a call for each of its numbers otherwise.
[[gnu::always_inline]] inline std::optional<std::int64_t> parse_integer(std::string_view text,
                                                                        std::int64_t min,
                                                                        std::int64_t max) {
  std::int64_t value = 0;
  if (text.empty() || read_number_field(text, min, max, &value) != text.size()) {
    return std::nullopt;
  }
  return value;
}

// "YYYY-MM-DDTHH:MM:SS" packed into a number that grows with the time.
// Fails on any other shape or a field out of its range. Every byte's place
// is fixed, so each is looked at once, without a loop over the fields.
std::optional<std::int64_t> parse_started(std::string_view text) {
  if (text.size() != 19 || text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':' ||
      text[16] != ':') {
    return std::nullopt;
  }
  constexpr std::size_t kDigitPlaces[] = {0, 1, 2, 3, 5, 6, 8, 9, 11, 12, 14, 15, 17, 18};
  for (const std::size_t at : kDigitPlaces) {
    if (text[at] < '0' || text[at] > '9') return std::nullopt;
  }
  const auto number = [text](std::size_t at, std::size_t size) {
    std::int64_t value = 0;
    for (std::size_t i = at; i < at + size; ++i) value = value * 10 + (text[i] - '0');
    return value;
  };
  struct Part {
    std::int64_t value, min, max, span;
  };
  const Part parts[] = {{number(0, 4), 0, 9999, 10000}, {number(5, 2), 1, 12, 13},
                        {number(8, 2), 1, 31, 32},      {number(11, 2), 0, 23, 24},
                        {number(14, 2), 0, 59, 60},     {number(17, 2), 0, 60, 61}};
  std::int64_t key = 0;
  for (const Part& part : parts) {
    if (part.value < part.min || part.value > part.max) return std::nullopt;
    key = key * part.span + part.value;
  }
  return key;
}

// One operation's name; nothing for any other text.
std::optional<Operation> parse_operation(std::string_view text) {
  for (int kind = 0; kind < kOperationKinds; ++kind) {
    if (text == kOperationNames[kind]) return static_cast<Operation>(kind);
  }
  return std::nullopt;
}

// The names joined by '/' in canonical order, as names() writes them;
// nothing for any other text.
std::optional<Operations> parse_operations(const std::string_view whole) {
  std::optional<Operations> operations;
  std::string_view text = whole;
  while (true) {
    const std::size_t slash = std::min(text.find('/'), text.size());
    const std::optional<Operation> operation = parse_operation(text.substr(0, slash));
    if (!operation) return std::nullopt;
    operations = operations ? operations->with(*operation) : Operations::only(*operation);
    if (slash == text.size()) break;
    text.remove_prefix(slash + 1);
  }
  if (names(*operations).view() != whole) return std::nullopt;  // repeated or out of order
  return operations;
}

// The right answer to `first` `operation` `second`: nothing for a quotient
// that is not whole or a divisor of 0.
[[gnu::always_inline]] inline std::optional<std::int64_t> result_of(Operation operation,
                                                                    std::int64_t first,
                                                                    std::int64_t second) {
  switch (operation) {
    case Operation::addition:
      return first + second;
    case Operation::subtraction:
      return first - second;
    case Operation::multiplication:
      return first * second;
    case Operation::division:
      if (second == 0 || first % second != 0) return std::nullopt;
      return first / second;
  }
  return std::nullopt;
}

// A test's fingerprint is a hash of the fields that name it as logged:
// name, operations and limit, then the start, so that a child's tests,
// which differ in their start alone, share the first part. This is that
// part.
std::uint64_t fingerprint_of_rest(const Fields& fields) {
  std::uint64_t hash = 0xCBF29CE484222325u;
  for (std::size_t index = 1; index < 4; ++index) {
    hash = (hash ^ std::hash<std::string_view>{}(fields[index])) * 0x100000001B3u;
    hash ^= hash >> 29;
  }
  return hash;
}

// The fingerprint of the test of the start `started` whose other fields'
// hash is `rest_hash`.
std::uint64_t fingerprint_with_start(std::uint64_t rest_hash, std::string_view started) {
  const std::uint64_t hash = (rest_hash ^ std::hash<std::string_view>{}(started)) * 0x100000001B3u;
  return hash ^ (hash >> 29);
}

}  // namespace

}  // namespace records
