// Fuzz target for the reading of answers files (records/answers_reader.h)
// and mathdrill-progress's facts made from them. The data is an answers
// file (cut to 256 KiB to keep runs fast), its first two bytes choosing the
// sizes of the pieces it is handed to the reader in. The target reads it
// that way and as one piece, and aborts on anything that must never happen,
// whatever the file holds:
// - both readings hand out the same answers and the same counts;
// - every answer handed out is sound: its right answer is the result of
//   its two numbers, worked out here again; it is judged right exactly when
//   the child's answer is that result; its problem is 1 to 20, its
//   operation one of its test's, and its name at most kMaxNameLength bytes
//   without whitespace;
// - every answer reads the same from its line alone, which a new reader
//   splits into fields, as in the file, where a line of the test read just
//   before is read in one pass; and every line not handed out reads as no
//   answer alone too, so that neither reading takes a line the other skips;
// - every answer, written again as the drill writes it (test support's
//   model of the line), reads back as the same answer (its fingerprint
//   aside, which is of the texts as they stood);
// - the counts add up: answers, header lines and skipped lines are all the
//   lines;
// - the whole program, run in-process on the file with a header before it
//   (for one input in four), ends with status 0 for the facts table, the
//   facts CSV, one child's grids and list, and the page, and writes one
//   facts CSV row for each fact asked.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "records/answers_format.h"
#include "records/answers_reader.h"
#include "records/format.h"
#include "records/operations.h"
#include "tests/support/answers_lines.h"
#include "tests/support/progress_files.h"

namespace {

constexpr std::size_t kMaxInput = 256 * 1024;

[[noreturn]] void fail(const char* problem, std::uint64_t line = 0) {
  std::fprintf(stderr, "answers_fuzz: %s (line %llu)\n", problem,
               static_cast<unsigned long long>(line));
  std::abort();
}

void check(bool condition, const char* problem, std::uint64_t line = 0) {
  if (!condition) fail(problem, line);
}

// An answer as read, with its texts copied out of the reader.
struct Read {
  std::string started;
  std::int64_t started_key;
  std::string name;
  std::string operations;
  std::int32_t limit;
  std::int32_t problem;
  records::Operation operation;
  std::int64_t first;
  std::int64_t second;
  std::int64_t correct;
  std::int64_t answer;
  bool right;
  std::uint32_t milliseconds;
  std::uint64_t line;
  std::uint64_t fingerprint;

  bool operator==(const Read&) const = default;
};

Read read_of(const records::Answer& answer) {
  return {.started = std::string(answer.started),
          .started_key = answer.started_key,
          .name = std::string(answer.name),
          .operations = std::string(records::names(answer.operations).view()),
          .limit = answer.limit,
          .problem = answer.problem,
          .operation = answer.operation,
          .first = answer.first,
          .second = answer.second,
          .correct = answer.correct,
          .answer = answer.answer,
          .right = answer.right,
          .milliseconds = answer.milliseconds,
          .line = answer.line,
          .fingerprint = answer.fingerprint};
}

// What one reading handed out.
struct Reading {
  std::vector<Read> answers;
  records::ReadCounts counts;
};

// Reads `file` in pieces whose sizes follow `seed` (mostly small, now and
// then large), or in one piece when `seed` is 0.
Reading read(std::string_view file, std::uint32_t seed) {
  records::AnswersReader reader;
  Reading reading;
  const auto take = [&] {
    while (const records::Answer* answer = reader.next()) {
      reading.answers.push_back(read_of(*answer));
    }
  };
  if (seed == 0) {
    reader.add(file);
    take();
  } else {
    std::uint32_t state = seed | 1;
    std::string piece;  // its own copy, so that the reader cannot keep a view past it
    for (std::size_t at = 0; at < file.size();) {
      state ^= state << 13;
      state ^= state >> 17;
      state ^= state << 5;
      const std::size_t size = state % 8 == 0 ? 1 + state % 70000 : 1 + state % 97;
      piece.assign(file.substr(at, size));
      at += piece.size();
      reader.add(piece);
      take();
    }
  }
  reading.counts = reader.finish();
  return reading;
}

// The right answer worked out again: nothing for a division that is not
// whole.
bool is_result(records::Operation operation, std::int64_t first, std::int64_t second,
               std::int64_t correct) {
  switch (operation) {
    case records::Operation::addition:
      return first + second == correct;
    case records::Operation::subtraction:
      return first - second == correct;
    case records::Operation::multiplication:
      return first * second == correct;
    case records::Operation::division:
      return second != 0 && correct * second == first;
  }
  return false;
}

bool has_space(std::string_view text) {
  return std::any_of(text.begin(), text.end(),
                     [](char c) { return c == ' ' || (c >= '\t' && c <= '\r') || c == '\0'; });
}

// The answer written again as the drill writes its line.
std::string written_again(const Read& answer) {
  return testing_support::AnswerLine{.started = answer.started,
                                     .name = answer.name,
                                     .operations = answer.operations,
                                     .limit = answer.limit,
                                     .problem = answer.problem,
                                     .operation = std::string(records::name(answer.operation)),
                                     .first = answer.first,
                                     .second = answer.second,
                                     .correct = answer.correct,
                                     .answer = answer.answer,
                                     .milliseconds = answer.milliseconds}
      .text();
}

// The lines of `file` that are the header, found apart from the reader: up
// to each LF, a CR before it and a byte-order mark at the start taken away.
std::uint64_t header_lines(std::string_view file) {
  std::uint64_t count = 0;
  bool first = true;
  for (std::size_t at = 0; at < file.size();) {
    const std::size_t newline = file.find('\n', at);
    if (newline == std::string_view::npos) break;  // a last line without LF is never read
    std::string_view line = file.substr(at, newline - at);
    if (first && line.starts_with(records::kByteOrderMark)) {
      line.remove_prefix(records::kByteOrderMark.size());
    }
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (line == records::kAnswersHeader) ++count;
    first = false;
    at = newline + 1;
  }
  return count;
}

std::uint64_t count_lines(std::string_view file) {
  const std::uint64_t newlines = std::count(file.begin(), file.end(), '\n');
  return newlines + (!file.empty() && !file.ends_with('\n') ? 1 : 0);
}

// The file's lines, each with its LF, as an independent split finds them.
std::vector<std::string_view> split_lines(std::string_view file) {
  std::vector<std::string_view> lines;
  for (std::size_t at = 0; at < file.size();) {
    const std::size_t newline = file.find('\n', at);
    const std::size_t end = newline == std::string_view::npos ? file.size() : newline + 1;
    lines.push_back(file.substr(at, end - at));
    at = end;
  }
  return lines;
}

void check_answers(const Reading& reading, std::string_view file) {
  const std::vector<std::string_view> lines = split_lines(file);
  for (const Read& answer : reading.answers) {
    check(answer.line >= 1 && answer.line <= lines.size(), "no such line", answer.line);
    const Reading alone = read(lines[answer.line - 1], 0);
    check(alone.answers.size() == 1, "the line alone is not read", answer.line);
    Read read_alone = alone.answers.front();
    read_alone.line = answer.line;
    check(read_alone == answer, "the line alone reads differently", answer.line);

    check(answer.problem >= 1 && answer.problem <= records::kProblemCount, "problem out of range",
          answer.line);
    check(is_result(answer.operation, answer.first, answer.second, answer.correct),
          "right answer is not the result", answer.line);
    check(answer.right == (answer.answer == answer.correct), "judged wrongly", answer.line);
    check(answer.name.size() <= records::kMaxNameLength && !has_space(answer.name), "bad name",
          answer.line);
    check(answer.line >= 1 && answer.line <= reading.counts.lines, "line out of range",
          answer.line);

    const Reading again = read(written_again(answer), 0);
    check(again.answers.size() == 1, "written again, the answer is not read", answer.line);
    // The fingerprint is of the test's texts as they stand in the file,
    // which may quote a name that needs no quotes.
    Read reread = again.answers.front();
    reread.line = answer.line;
    reread.fingerprint = answer.fingerprint;
    check(reread == answer, "written again, the answer reads differently", answer.line);
  }
  std::vector<bool> handed_out(lines.size() + 1, false);
  for (const Read& answer : reading.answers) handed_out[answer.line] = true;
  for (std::uint64_t number = 1; number <= lines.size(); ++number) {
    const std::string_view line = lines[number - 1];
    // Alone, a line is the first, whose byte-order mark is passed over.
    if (handed_out[number] || (number > 1 && line.starts_with(records::kByteOrderMark))) continue;
    check(read(line, 0).answers.empty(), "a line skipped reads as an answer alone", number);
  }
  const records::ReadCounts& counts = reading.counts;
  check(counts.tests == reading.answers.size(), "answers miscounted");
  check(counts.lines == count_lines(file), "lines miscounted");
  check(counts.tests + counts.skipped_lines + header_lines(file) == counts.lines,
        "answers, headers and skipped lines do not add up");
}

bool same(const Reading& a, const Reading& b) {
  return a.answers == b.answers && a.counts.lines == b.counts.lines &&
         a.counts.skipped_lines == b.counts.skipped_lines &&
         a.counts.skipped_ranges == b.counts.skipped_ranges &&
         a.counts.first_ranges == b.counts.first_ranges;
}

std::uint64_t count_rows(std::string_view csv) {
  std::uint64_t rows = 0;
  for (std::size_t at = csv.find("\r\n"); at != std::string_view::npos;
       at = csv.find("\r\n", at + 2)) {
    ++rows;
  }
  return rows;
}

void run_program(std::string_view file, const Reading& reading, std::uint32_t seed) {
  testing_support::MemoryFiles files;
  files.inputs["answers.csv"] = testing_support::answers_header() + std::string(file);
  files.chunk = 1 + seed % 5000;
  const auto run = [&](const std::vector<std::string>& args) {
    const testing_support::RunResult result = testing_support::run_progress_on(args, files);
    check(result.status == 0, "a run failed");
    return result;
  };
  run({"--facts", "answers.csv"});
  run({"--html", "page.html", "answers.csv"});
  check(files.written["page.html"].ends_with("</html>\n"), "page not written whole");

  // Facts are told apart by child, operation and the two numbers.
  std::set<std::tuple<std::string, records::Operation, std::int64_t, std::int64_t>> facts;
  for (const Read& answer : reading.answers) {
    facts.emplace(answer.name, answer.operation, answer.first, answer.second);
  }
  const testing_support::RunResult csv = run({"--facts", "--csv", "answers.csv"});
  // Names hold no CR or LF, so every CR LF ends a row, the header's too.
  const std::uint64_t rows = count_rows(csv.out);
  check(rows == facts.size() + 1 || (facts.empty() && rows == 0),
        "facts CSV rows and facts disagree");

  if (!reading.answers.empty()) {
    const std::string& name = reading.answers[seed % reading.answers.size()].name;
    if (!name.empty()) {
      run({"--facts", "--child", name, "answers.csv"});
      run({"--child", name, "answers.csv"});
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::uint32_t seed = static_cast<std::uint32_t>(data[0]) << 8 | data[1];
  const std::string_view file(reinterpret_cast<const char*>(data + 2),
                              std::min(size - 2, kMaxInput));

  const Reading in_pieces = read(file, seed | 0x10000);
  check_answers(in_pieces, file);
  const Reading at_once = read(file, 0);
  check(same(in_pieces, at_once), "the pieces the file came in changed what was read");

  // The outputs depend on the answers alone, which the checks above cover;
  // running the program for one input in four keeps the runs fast.
  if (seed % 4 == 0) run_program(file, at_once, seed);
  return 0;
}
