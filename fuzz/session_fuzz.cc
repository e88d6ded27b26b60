// Fuzz target for whole drill sessions. The data is what the child types
// (cut to 64 KiB to keep runs fast); the drill runs in-process on it with a
// fake clock at fixed readings and an in-memory results log. The target then
// walks the console transcript from the first byte to the last and aborts on
// anything that must never happen, whatever was typed:
// - the session ends with status 0, or with status 1 and the exact message
//   on standard error, quoting the text, when the addend limit or an answer
//   is not a whole number;
// - each test shows problems 1 to 20 in order, never more; an answer that
//   cannot be read abandons the test at its prompt, with no report and no
//   block;
// - every verdict names the right answer of the problem shown, and the
//   running count rises by one exactly when the answer read (by
//   fuzzing::ReferenceInput) equals it;
// - the operations are chosen by the input's length: the drill's default,
//   or -o with one of the fifteen sets; every problem is one of them, and
//   both numbers lie in the range the limit allows (from 1 with division,
//   whose limit below 1 is asked again);
// - the report agrees with the verdicts and the clock readings;
// - the log holds one whole nine-line CR LF block per finished test, with
//   the same facts as the console.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "console/clock.h"
#include "fuzz/reference_input.h"
#include "records/format.h"
#include "tests/support/session.h"
#include "tests/support/transcript.h"

namespace {

using fuzzing::Outcome;

constexpr std::size_t kMaxInput = 64 * 1024;
constexpr console::CalendarTime kTen = 1796724000;  // Tue Dec 08 10:00:00 2026 UTC

// The clock readings: the random seed, then the start and end of the first
// two tests; every later test starts and ends at the last reading.
const std::vector<std::optional<console::CalendarTime>> kReadings = {kTen - 5, kTen, kTen + 95,
                                                                     kTen + 100, kTen + 130};

// The times of each test: the first, the second, and every later one.
struct TestTimes {
  console::CalendarTime start;
  console::CalendarTime end;
};
constexpr TestTimes kTimes[] = {
    {.start = kTen, .end = kTen + 95},
    {.start = kTen + 100, .end = kTen + 130},
    {.start = kTen + 130, .end = kTen + 130},
};

using namespace testing_support;

// A cursor over produced text that checks it piece by piece; any mismatch
// aborts with the place and the text around it.
class Transcript {
 public:
  Transcript(std::string_view text, const char* what) : text_(text), what_(what) {}

  void expect(std::string_view piece);
  bool skip(std::string_view piece);
  std::int32_t padded_integer();
  void expect_end();
  [[noreturn]] void fail(const char* problem) const;

 private:
  std::int64_t integer();

  std::string_view text_;
  const char* what_;
  std::size_t position_ = 0;
};

// How the walk of the dialogue says the run ends.
struct Walk {
  int status = 0;           // the exit status
  std::string errors = {};  // what standard error must hold
};

// The operations of one run, as -o names them; empty for none named, the
// drill's addition and subtraction.
struct Signs {
  std::string_view named;
  std::string_view used() const { return named.empty() ? "+-" : named; }
  // Whether `sign` is among them; '*' names 'x' too.
  bool has(char sign) const {
    return used().find(sign) != std::string_view::npos ||
           (sign == 'x' && used().find('*') != std::string_view::npos);
  }
};

Signs signs_for(std::string_view input);
SessionRun run_session(std::string_view input, Signs signs);
void check_session(std::string_view input, Signs signs, const SessionRun& session);
std::optional<std::int32_t> check_limit_prompts(fuzzing::ReferenceInput& typed, Signs signs,
                                                Transcript& console, Walk& walk);
bool check_test(int index, const std::string& name, std::int32_t limit, Signs signs,
                fuzzing::ReferenceInput& typed, Transcript& console, Transcript& log, Walk& walk);
std::optional<int> check_problem(int number, const std::string& name, std::int32_t limit,
                                 Signs signs, int right, fuzzing::ReferenceInput& typed,
                                 Transcript& console, Walk& walk);
enum class Number { limit, answer };
std::optional<std::int32_t> read_number(fuzzing::ReferenceInput& typed, Walk& walk, Number what,
                                        Signs signs);
void check_report(const TestTimes& times, const std::string& name, std::int32_t limit, Signs signs,
                  int right, Transcript& console, Transcript& log);
std::string shown_text(std::string_view word);
std::int64_t largest_number(std::int32_t limit, Signs signs);
[[noreturn]] void fail(const char* problem);
std::string printable(std::string_view text);

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), std::min(size, kMaxInput));
  const Signs signs = signs_for(input);
  check_session(input, signs, run_session(input, signs));
  return 0;
}

namespace {

// The operations for `input`, by its length: none named, or one of the
// fifteen sets in an order -o accepts.
Signs signs_for(std::string_view input) {
  static constexpr std::string_view kSets[16] = {"",    "+",   "-",   "x",   "/",  "-+",
                                                 "*+",  "/+",  "x-",  "-/",  "/x", "+x-",
                                                 "/-+", "/+x", "-*/", "x/-+"};
  return Signs{.named = kSets[(input.size() / 4) % 16]};
}

// Runs the drill on `input`. How many bytes each read of the input returns
// follows from the input's length, so the read-ahead buffer is exercised
// at many boundaries.
SessionRun run_session(std::string_view input, Signs signs) {
  constexpr std::size_t kChunks[4] = {4096, 1, 7, 1024};
  std::vector<std::string> arguments;
  if (!signs.named.empty()) arguments = {"-o", std::string(signs.named)};
  return testing_support::run_session({.input = input,
                                       .readings = kReadings,
                                       .chunk = kChunks[input.size() % 4],
                                       .arguments = arguments});
}

// Walks the whole dialogue the drill must have had with `input`.
void check_session(std::string_view input, Signs signs, const SessionRun& session) {
  fuzzing::ReferenceInput typed(input);
  Transcript console(session.console, "console");
  Transcript log(session.log, "log");
  Walk walk;
  int tests = 0;

  console.expect(kBanner);
  console.expect(kNamePrompt);
  std::string word;
  if (typed.read_word(word) != Outcome::ok) {
    console.expect("\n");
  } else if (const std::string name = shown_text(word);
             std::optional<std::int32_t> limit = check_limit_prompts(typed, signs, console, walk)) {
    while (check_test(tests, name, *limit, signs, typed, console, log, walk)) {
      ++tests;
      console.expect(kGoAgain);
      if (typed.read_word(word) != Outcome::ok) {
        console.expect("\n");
        break;
      }
      if (word[0] != 'y' && word[0] != 'Y') break;
    }
  }
  console.expect_end();
  log.expect_end();

  if (session.status != walk.status) fail("wrong exit status");
  if (session.errors != walk.errors) fail("wrong text on standard error");
  if (std::count(session.log.begin(), session.log.end(), '\n') != 9 * tests) {
    fail("log blocks and finished tests differ in number");
  }
}

// Checks the limit prompts, shown again after each -1 and, with division,
// after each limit below 1. Returns the limit, or nothing when it could not
// be read (the line end that follows is checked, and `walk` says how the
// run ends).
std::optional<std::int32_t> check_limit_prompts(fuzzing::ReferenceInput& typed, Signs signs,
                                                Transcript& console, Walk& walk) {
  for (;;) {
    console.expect(limit_prompt(signs.used()));
    const std::optional<std::int32_t> limit = read_number(typed, walk, Number::limit, signs);
    if (!limit) {
      console.expect("\n");
      return std::nullopt;
    }
    if (*limit != -1 && (!signs.has('/') || *limit >= 1)) return limit;
  }
}

// Checks one test: its opening lines, the 20 problems and the report.
// Returns false when the test was abandoned at an answer that could not be
// read, which ends the run.
bool check_test(int index, const std::string& name, std::int32_t limit, Signs signs,
                fuzzing::ReferenceInput& typed, Transcript& console, Transcript& log, Walk& walk) {
  const TestTimes& times = kTimes[std::min(index, 2)];
  console.expect(kStartingTime + utc_timestamp(times.start) + "\n\n\n" + kGo);
  int right = 0;
  for (int number = 1; number <= records::kProblemCount; ++number) {
    const std::optional<int> now_right =
        check_problem(number, name, limit, signs, right, typed, console, walk);
    if (!now_right) return false;
    right = *now_right;
  }
  check_report(times, name, limit, signs, right, console, log);
  return true;
}

// Checks one problem: its number, the prompt's layout, operation and
// numbers, and the verdict on the answer the reference reads. Returns the
// new right count, or nothing when the answer could not be read (the test
// is then abandoned, and only a line end follows the prompt).
std::optional<int> check_problem(int number, const std::string& name, std::int32_t limit,
                                 Signs signs, int right, fuzzing::ReferenceInput& typed,
                                 Transcript& console, Walk& walk) {
  console.expect(std::to_string(number) + ".\t");
  const std::int64_t left = console.padded_integer();
  char sign = 0;
  for (char candidate : {'+', '-', 'x', '/'}) {
    if (console.skip(std::string(" ") + candidate + " ")) sign = candidate;
  }
  if (sign == 0) console.fail("no operation sign");
  if (!signs.has(sign)) console.fail("an operation that was not chosen");
  const std::int64_t second = console.padded_integer();
  console.expect(" = ");

  // The pair (first, second) that the prompt shows, and its answer.
  std::int64_t first = left;
  std::int64_t correct = 0;
  switch (sign) {
    case '+':
      correct = left + second;
      break;
    case '-':
      first = correct = left - second;
      break;
    case 'x':
      correct = left * second;
      break;
    default:
      if (second == 0 || left % second != 0) console.fail("a quotient that is not whole");
      first = correct = left / second;
      break;
  }
  const std::int64_t low = signs.has('/') ? 1 : 0;
  const std::int64_t high = largest_number(limit, signs);
  if (first < low || first > high || second < low || second > high) {
    console.fail("number outside the range of the limit");
  }

  const std::optional<std::int32_t> answer = read_number(typed, walk, Number::answer, signs);
  if (!answer) {
    console.expect("\n");
    return std::nullopt;
  }
  if (*answer == correct) {
    ++right;
    console.expect(right_verdict(name, right, number));
  } else {
    console.expect(wrong_verdict(correct));
  }
  return right;
}

// Reads an integer as the drill's answer or limit read must. When there is
// none, records in `walk` how the run ends: at the end of input quietly, at
// text that is not a number with status 1 and the message that quotes the
// word the read met.
std::optional<std::int32_t> read_number(fuzzing::ReferenceInput& typed, Walk& walk, Number what,
                                        Signs signs) {
  constexpr std::string_view kSpace = " \t\n\v\f\r";
  std::string_view rest = typed.unread();
  std::int32_t value = 0;
  const Outcome outcome = typed.read_integer(&value);
  if (outcome == Outcome::ok) return value;
  if (outcome == Outcome::not_a_number) {
    rest.remove_prefix(rest.find_first_not_of(kSpace));
    const std::string text = shown_text(rest.substr(0, rest.find_first_of(kSpace)));
    walk.status = 1;
    walk.errors = what == Number::answer ? answer_message(text) : limit_message(text, signs.used());
  }
  return std::nullopt;
}

// Checks the console report and the log block of one test; both must give
// the right count of the verdicts and the clock's times.
void check_report(const TestTimes& times, const std::string& name, std::int32_t limit, Signs signs,
                  int right, Transcript& console, Transcript& log) {
  const testing_support::Report report =
      testing_support::make_report(name, limit, right, times.start, times.end, signs.used());
  console.expect(console_report(report));
  log.expect(log_block(report));
}

// A typed word as the drill shows it: its first 255 bytes, less a UTF-8
// character that the cut splits (a lead byte 0xC2-0xF4 among the last three
// kept bytes whose sequence would run past them, with the continuation bytes
// after it), and every byte 0x00-0x1F or 0x7F shown as '?'.
std::string shown_text(std::string_view word) {
  std::string text(word.substr(0, 255));
  if (word.size() > 255) {
    for (std::size_t back = 1; back <= 3; ++back) {
      const unsigned char byte = static_cast<unsigned char>(text[255 - back]);
      if (byte >= 0x80 && byte <= 0xBF) continue;
      const std::size_t length = byte >= 0xF0 && byte <= 0xF4   ? 4
                                 : byte >= 0xE0 && byte <= 0xEF ? 3
                                 : byte >= 0xC2 && byte <= 0xDF ? 2
                                                                : 1;
      if (length > back) text.resize(255 - back);
      break;
    }
  }
  // Shown as one '?' each: a C0 control or DEL, an 8-bit control in UTF-8
  // (C2 80..C2 9F), and a bidirectional override or isolate (E2 80 AA..AE,
  // E2 81 A6..A9). Neither lead byte ends another character, so a scan byte
  // by byte finds them where a reader of characters does.
  std::string shown;
  const auto byte = [&text](std::size_t at) {
    return at < text.size() ? static_cast<unsigned char>(text[at]) : 0u;
  };
  for (std::size_t at = 0; at < text.size();) {
    const unsigned char c = byte(at);
    if (c <= 0x1F || c == 0x7F) {
      shown.push_back('?');
      at += 1;
    } else if (c == 0xC2 && byte(at + 1) >= 0x80 && byte(at + 1) <= 0x9F) {
      shown.push_back('?');
      at += 2;
    } else if (c == 0xE2 &&
               ((byte(at + 1) == 0x80 && byte(at + 2) >= 0xAA && byte(at + 2) <= 0xAE) ||
                (byte(at + 1) == 0x81 && byte(at + 2) >= 0xA6 && byte(at + 2) <= 0xA9))) {
      shown.push_back('?');
      at += 3;
    } else {
      shown.push_back(static_cast<char>(c));
      at += 1;
    }
  }
  return shown;
}

// The largest number a limit allows. From 0: the limit itself, and below
// -1 -limit - 2 (the range size is negative), never more than the random
// source's 32767. From 1, with division: the limit, at most 1 + 32767.
std::int64_t largest_number(std::int32_t limit, Signs signs) {
  if (signs.has('/')) return std::min<std::int64_t>(limit, 32768);
  const std::int64_t high = limit >= 0 ? limit : -std::int64_t{limit} - 2;
  return std::min<std::int64_t>(high, 32767);
}

[[noreturn]] void fail(const char* problem) {
  std::fprintf(stderr, "session_fuzz: %s\n", problem);
  std::abort();
}

void Transcript::expect(std::string_view piece) {
  if (skip(piece)) return;
  std::fprintf(stderr, "expected: %s\n", printable(piece).c_str());
  fail("unexpected text");
}

// Consumes `piece` when the text continues with it; returns whether it did.
bool Transcript::skip(std::string_view piece) {
  if (text_.substr(position_, piece.size()) != piece) return false;
  position_ += piece.size();
  return true;
}

// Reads an integer laid out as "%2d": one padding space exactly when its
// text is a single character.
std::int32_t Transcript::padded_integer() {
  const bool padded = skip(" ");
  const std::size_t start = position_;
  const std::int64_t value = integer();
  if (padded != (position_ - start < 2)) fail("number not padded to two places");
  if (value < INT32_MIN || value > INT32_MAX) fail("number outside 32 bits");
  return static_cast<std::int32_t>(value);
}

// Reads a decimal integer as "%d" writes it: an optional minus sign and at
// most ten digits, without leading zeros.
std::int64_t Transcript::integer() {
  const std::size_t start = position_;
  skip("-");
  const std::size_t digits = position_;
  while (position_ < text_.size() && position_ - digits < 11 && text_[position_] >= '0' &&
         text_[position_] <= '9') {
    ++position_;
  }
  const std::string text(text_.substr(start, position_ - start));
  if (position_ == digits || position_ - digits > 10) fail("no decimal number");
  const std::int64_t value = std::stoll(text);
  if (std::to_string(value) != text) fail("number not in its plain decimal form");
  return value;
}

void Transcript::expect_end() {
  if (position_ != text_.size()) fail("text after the end of the dialogue");
}

// Reports the problem with the text around the current place, then aborts.
void Transcript::fail(const char* problem) const {
  const std::size_t from = position_ < 80 ? 0 : position_ - 80;
  std::fprintf(stderr, "session_fuzz: %s in the %s at byte %zu\n", problem, what_, position_);
  std::fprintf(stderr, "before: %s\n", printable(text_.substr(from, position_ - from)).c_str());
  std::fprintf(stderr, "after:  %s\n", printable(text_.substr(position_, 80)).c_str());
  std::abort();
}

// `text` with line ends and tabs as escapes and other control bytes as '?',
// for the failure report.
std::string printable(std::string_view text) {
  std::string shown;
  for (char c : text) {
    if (c == '\n') {
      shown += "\\n";
    } else if (c == '\r') {
      shown += "\\r";
    } else if (c == '\t') {
      shown += "\\t";
    } else if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7F) {
      shown += '?';
    } else {
      shown += c;
    }
  }
  return shown;
}

}  // namespace
