#include "progress/run_progress.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>

#include "progress/csv_rows.h"
#include "progress/fact_book.h"
#include "progress/fact_outputs.h"
#include "progress/fact_page.h"
#include "progress/html_page.h"
#include "progress/options.h"
#include "progress/output_buffer.h"
#include "progress/output_text.h"
#include "progress/progress_book.h"
#include "progress/seen_tests.h"
#include "progress/text_table.h"
#include "records/answers_format.h"
#include "records/answers_reader.h"
#include "records/block_reader.h"
#include "records/format.h"

namespace progress {

namespace {

constexpr std::string_view kProgram = "mathdrill-progress";

constexpr std::string_view kUsage =
    "Usage: mathdrill-progress [OPTION]... [FILE]...\n"
    "Show the progress of the children whose tests mathdrill logged in FILE (by\n"
    "default records.txt in the current folder; '-' is standard input). Tests of\n"
    "the same name in several files belong to the same child.\n"
    "\n"
    "With no option, print one row per child and kind of test: the operations\n"
    "(+-, x/, ...), the number of tests, the dates of the first and the last\n"
    "test, the last test's percent and grade, the best percent, the mean percent\n"
    "and the median seconds of the last 5 tests, and the percents of the last 20\n"
    "tests as a trend line.\n"
    "\n"
    "  --child NAME  print every test of the child NAME, oldest first\n"
    "  --csv         print every test of every child as CSV, in the order read\n"
    "  --html FILE   also write a page with a chart of the last 100 tests of\n"
    "                each child and kind to FILE (with --child: of that child\n"
    "                only); '-' writes it to standard output instead of the table\n"
    "  --facts       print, per child and operation, how many facts (7 x 8) are\n"
    "                fluent, learning and missed, from the answers files; with\n"
    "                --child NAME the child's grids, with --csv one row per fact\n"
    "  --fluent-seconds=N  a right answer within N seconds (1 to 60, default 3)\n"
    "                counts towards fluent\n"
    "  --color[=WHEN]  colour the grids: never, always, or auto (the default:\n"
    "                only on a terminal); never when NO_COLOR is set\n"
    "  --help        print this help and exit\n"
    "  --version     print the version and exit\n"
    "\n"
    "--csv goes with neither --child nor --html, --facts not with --html.\n"
    "\n"
    "A file whose first line is the header of answers.csv is read as answers;\n"
    "any other as a records log. With no FILE, answers.csv in the current\n"
    "folder is read too when there is one (with --facts, only answers.csv).\n"
    "A fact is fluent when at least 2 of its last 3 tries were right within\n"
    "the fluency time, learning when at least 1 was right, missed otherwise.\n"
    "\n"
    "Each file's tests keep its order, and the files are merged by starting\n"
    "time. A test found in several files counts once. Text that is not a whole\n"
    "test block is skipped, with one message for each file naming its lines. A\n"
    "file named twice is read once. The page replaces FILE only when it is\n"
    "complete, and never replaces a file that is read or a file that is not a\n"
    "page.\n"
    "\n"
    "Exit status: 0 when every file was read, 1 when a file could not be read\n"
    "or written, 2 for a wrong option or a page that would replace another file.\n";

// A file is read in pieces of at most this many bytes. The buffer starts
// at kFirstPiece and grows while reads fill it, so that a small file needs
// little and a large one is read in large pieces; it is kept for the files
// after.
constexpr std::size_t kFirstPiece = 4096;
constexpr std::size_t kLargestPiece = 256 * 1024;

// The run of one command line: what it collects while reading the files,
// and its status.
class Run {
 public:
  Run(const Options& options, console::ByteSink& out, console::ByteSink& errors, Files& files,
      bool utf8_output, bool colour);

  void read_file(const std::string& name);
  int finish();

 private:
  std::string_view next_piece(Input& input);
  std::string read_head(Input& input);
  void read_blocks(std::string_view name, std::string_view head, Input& input);
  void read_answers(std::string_view name, std::string_view head, Input& input);
  void take(const records::LoggedTest& test);
  void take_missed(const records::Answer& answer);
  void write_facts();
  void report_skipped(std::string_view name, const records::ReadCounts& counts,
                      std::uint64_t duplicates, std::string_view noun = "test");
  void report_none_found();
  void write_page(std::span<const ChildProgress* const> children);
  void message(std::string_view name, std::string_view text);
  void message(std::string_view text);

  const Options& options_;
  OutputBuffer out_;
  console::ByteSink& errors_;
  Files& files_;
  bool utf8_output_;
  std::optional<ProgressBook> book_;    // for the table and --child, not --csv or --facts
  std::optional<FactBook> fact_book_;   // for --facts
  std::optional<MissedFacts> missed_;   // for --child, once answers were read
  std::optional<FactBook> page_facts_;  // for the page's grids
  FactStyle fact_style_;
  bool csv_header_written_ = false;
  // The files read so far: by name, and by identity with the name they were
  // first read by.
  std::set<std::string> names_read_;
  std::map<console::FileIdentity, std::string> files_read_;
  std::optional<SeenTests> seen_;          // when more than one file is named
  std::optional<SeenTests> seen_answers_;  // likewise, for the tests of answers files
  std::size_t files_started_ = 0;
  std::vector<char> buffer_;
  std::size_t last_read_ = 0;  // bytes the last read put in the buffer
  int status_ = 0;
};

std::string page_refusal(const std::string& page, const std::vector<std::string>& inputs,
                         Files& files);
bool holds_a_page(const std::string& page, Files& files);
std::string_view shown_name(std::string_view name);
std::string message_text(std::string_view text);
int usage_error(console::ByteSink& errors, std::string_view error);
std::optional<Options> default_answers(const Options& options, Files& files);

}  // namespace

int run_progress(const std::vector<std::string>& args, console::ByteSink& out,
                 console::ByteSink& errors, Files& files, bool utf8_output, bool colour_terminal,
                 bool no_color) {
  const ParsedOptions parsed = parse_options(args);
  if (!parsed.error.empty()) return usage_error(errors, parsed.error);
  const Options& options = parsed.options;
  if (options.help) return out.write(kUsage.data(), kUsage.size()) ? 0 : 1;
  if (options.version) {
    const std::string line = std::string(kProgram) + " " + MATHDRILL_VERSION + "\n";
    return out.write(line.data(), line.size()) ? 0 : 1;
  }
  if (options.html && *options.html != "-") {
    const std::string refusal = page_refusal(*options.html, options.files, files);
    if (!refusal.empty()) return usage_error(errors, refusal);
  }
  const std::optional<Options> with_answers = default_answers(options, files);
  const Options& read = with_answers ? *with_answers : options;
  const bool colour =
      !no_color && (options.colour == Options::Colour::always ||
                    (options.colour == Options::Colour::automatic && colour_terminal));
  Run run(read, out, errors, files, utf8_output, colour);
  for (const std::string& name : read.files) run.read_file(name);
  return run.finish();
}

namespace {

Run::Run(const Options& options, console::ByteSink& out, console::ByteSink& errors, Files& files,
         bool utf8_output, bool colour)
    : options_(options),
      out_(out),
      errors_(errors),
      files_(files),
      utf8_output_(utf8_output),
      buffer_(kFirstPiece) {
  fact_style_ = {.fluent_milliseconds = static_cast<std::uint32_t>(options.fluent_seconds) * 1000,
                 .colour = colour};
  if (options.files.size() > 1) seen_answers_.emplace();
  if (options.facts) {
    fact_book_.emplace();
    if (options.files.size() > 1) seen_.emplace();
    return;
  }
  switch (options.output) {
    case Options::Output::kTable:
      book_.emplace(
          Keep{.trend = kTrendTests, .tests = options.html ? kChartTests : 0, .by_kind = true});
      break;
    case Options::Output::kChild:
      book_.emplace(Keep{.tests = kAllTests});
      break;
    case Options::Output::kCsv:
      break;
  }
  if (options.files.size() > 1) seen_.emplace();
}

// Reads one file through and adds its tests to the output, unless it was
// read already under this name or another.
void Run::read_file(const std::string& name) {
  if (names_read_.contains(name)) {
    message(shown_name(name), "named more than once, read once");
    return;
  }
  if (seen_) seen_->start_file(++files_started_ == options_.files.size());
  OpenedInput opened = files_.open(name);
  if (opened.input == nullptr) {
    message(shown_name(name), opened.reason);
    status_ = 1;
    return;
  }
  if (const std::optional<console::FileIdentity> identity = opened.input->identity()) {
    const auto [first, added] = files_read_.try_emplace(*identity, name);
    if (!added) {
      message(shown_name(name),
              "the same file as " + message_text(shown_name(first->second)) + ", read once");
      return;
    }
  }
  names_read_.insert(name);
  if (seen_answers_) seen_answers_->start_file(files_started_ == options_.files.size());
  const std::string head = read_head(*opened.input);
  std::string_view first_line = std::string_view(head).substr(0, head.find('\n'));
  if (first_line.starts_with(records::kByteOrderMark)) {
    first_line.remove_prefix(records::kByteOrderMark.size());
  }
  if (first_line.ends_with('\r')) first_line.remove_suffix(1);
  if (records::is_answers_header(first_line)) {
    read_answers(shown_name(name), head, *opened.input);
  } else {
    read_blocks(shown_name(name), head, *opened.input);
  }
  const std::string reason = opened.input->read_error();
  if (!reason.empty()) {
    message(shown_name(name), reason);
    status_ = 1;
  }
}

// The first bytes of `input`: up to its first line end, or enough to tell
// that its first line is not the answers header, or all of it when
// shorter. Copied, as the buffer is read into again.
std::string Run::read_head(Input& input) {
  constexpr std::size_t kEnough =
      records::kByteOrderMark.size() + records::kAnswersHeader.size() + 2;
  std::string head;
  while (head.find('\n') == std::string::npos && head.size() < kEnough) {
    const std::string_view piece = next_piece(input);
    if (piece.empty()) break;
    head.append(piece);
  }
  return head;
}

// Reads a records log through, `head` first, and adds its tests to the
// output. Under --facts its tests are read (for the messages) but not kept.
void Run::read_blocks(std::string_view name, std::string_view head, Input& input) {
  if (book_) book_->start_file();
  records::BlockReader reader;
  if (seen_) reader.make_fingerprints();
  std::uint64_t duplicates = 0;
  for (std::string_view piece = head; !piece.empty(); piece = next_piece(input)) {
    reader.add(piece);
    while (const records::LoggedTest* test = reader.next()) {
      if (seen_ && seen_->repeated(test->fingerprint)) {
        ++duplicates;
      } else if (!fact_book_) {
        take(*test);
      }
    }
  }
  report_skipped(name, reader.finish(), duplicates);
}

// Reads an answers file through, `head` first, into the fact book under
// --facts. A test's lines follow each other, so each test is looked up
// among the earlier files' once, at its first line.
void Run::read_answers(std::string_view name, std::string_view head, Input& input) {
  records::AnswersReader reader;
  std::uint64_t duplicates = 0;
  std::optional<std::uint64_t> test;  // the fingerprint of the test being read
  bool repeated = false;
  for (std::string_view piece = head; !piece.empty(); piece = next_piece(input)) {
    reader.add(piece);
    while (const records::Answer* answer = reader.next()) {
      if (test != answer->fingerprint) {
        test = answer->fingerprint;
        repeated = seen_answers_ && seen_answers_->repeated(answer->fingerprint);
        if (repeated) ++duplicates;
      }
      if (repeated) continue;
      if (fact_book_) {
        fact_book_->add(*answer);
        continue;
      }
      if (options_.output == Options::Output::kChild) take_missed(*answer);
      if (options_.html &&
          (options_.output != Options::Output::kChild || answer->name == options_.child)) {
        if (!page_facts_) page_facts_.emplace();
        page_facts_->add(*answer);
      }
    }
  }
  report_skipped(name, reader.finish(), duplicates, "answer");
}

// Notes, for --child, the fact of a wrong answer of the child's against its
// test. Answers files are read for --child only to this end.
void Run::take_missed(const records::Answer& answer) {
  if (!missed_) missed_.emplace();
  if (answer.right || answer.name != options_.child) return;
  std::string& facts =
      (*missed_)[test_answers_key(answer.started, answer.operations, answer.limit)];
  if (!facts.empty()) facts.append(", ");
  facts.append(fact_text(answer.operation,
                         Fact{.first = answer.first, .second = answer.second, .tries = {}}));
}

// The --facts output: the table, the child's grids, or the CSV.
void Run::write_facts() {
  const std::vector<const ChildFacts*> children = fact_book_->children();
  switch (options_.output) {
    case Options::Output::kTable:
      if (children.empty()) {
        if (status_ == 0) message("no answers found");
        return;
      }
      append_facts_table(*fact_book_, fact_style_, &out_.text());
      return;
    case Options::Output::kChild:
      if (const ChildFacts* child = fact_book_->child(options_.child)) {
        append_fact_grids(*child, fact_style_, &out_.text());
      } else if (status_ == 0) {
        message("no answers of " + terminal_text(options_.child) + " found");
      }
      return;
    case Options::Output::kCsv:
      append_facts_csv(*fact_book_, fact_style_.fluent_milliseconds, &out_.text());
      return;
  }
}

// Writes what was collected and returns the exit status. The page goes to
// standard output in place of the table with "--html -". It is not written
// when no test was found after a file could not be read, so that a page
// written before stays.
int Run::finish() {
  if (fact_book_) {
    write_facts();
  } else if (book_) {
    const std::vector<const ChildProgress*> children = book_->finish();
    const bool page_on_output = options_.html == "-";
    if (children.empty()) {
      report_none_found();
    } else if (!page_on_output && options_.output == Options::Output::kTable) {
      write_summary_table(children, utf8_output_, out_);
    } else if (!page_on_output) {
      // The book holds the one child asked for.
      write_child_listing(children.front()->latest, out_, missed_ ? &*missed_ : nullptr);
    }
    if (options_.html && (!children.empty() || status_ == 0)) {
      if (options_.output == Options::Output::kChild && !children.empty()) {
        // --child keeps the child's kinds of test together, in its files'
        // order; the page charts each kind apart.
        const std::vector<ChildProgress> kinds = split_by_kind(*children.front(), kChartTests);
        std::vector<const ChildProgress*> shown;
        for (const ChildProgress& kind : kinds) shown.push_back(&kind);
        write_page(shown);
      } else {
        write_page(children);
      }
    }
  } else if (!csv_header_written_) {
    report_none_found();
  }
  if (!out_.flush()) {
    message("standard output", "write error");
    status_ = 1;
  }
  return status_;
}

// The next piece of `input` in the buffer; empty at its end. The pieces
// before it have been read through, so the buffer may grow first.
std::string_view Run::next_piece(Input& input) {
  if (last_read_ == buffer_.size() && buffer_.size() < kLargestPiece) {
    buffer_.resize(std::min(buffer_.size() * 4, kLargestPiece));
  }
  last_read_ = input.read(buffer_.data(), buffer_.size());
  return {buffer_.data(), last_read_};
}

// Adds a test read to the output: to the book, when it is kept for the
// table or is the child's asked for, or as a CSV row at once.
void Run::take(const records::LoggedTest& test) {
  switch (options_.output) {
    case Options::Output::kTable:
      book_->add(test);
      break;
    case Options::Output::kChild:
      if (test.name == options_.child) book_->add(test);
      break;
    case Options::Output::kCsv:
      if (!csv_header_written_) append_csv_header(out_.text());
      csv_header_written_ = true;
      append_csv_row(test, out_.text());
      out_.wrote();
      break;
  }
}

// "records.txt: 12 tests read, 2 skipped (lines 19-25, 40)", with
// ", 3 duplicates" after the tests read when some were read before from
// another file. `noun` names what was read: "test", or "answer" for an
// answers file, whose duplicates are tests.
void Run::report_skipped(std::string_view name, const records::ReadCounts& counts,
                         std::uint64_t duplicates, std::string_view noun) {
  if (counts.skipped_ranges == 0 && duplicates == 0) return;
  std::string text;
  append_integer(static_cast<std::int64_t>(counts.tests), text);
  text.push_back(' ');
  text.append(noun);
  text.append(counts.tests == 1 ? " read" : "s read");
  if (duplicates > 0) {
    text.append(", ");
    append_integer(static_cast<std::int64_t>(duplicates), text);
    text.append(duplicates == 1 ? " duplicate" : " duplicates");
  }
  if (counts.skipped_ranges == 0) {
    message(name, text);
    return;
  }
  text.append(", ");
  append_integer(static_cast<std::int64_t>(counts.skipped_ranges), text);
  const records::LineRange& only = counts.first_ranges[0];
  text.append(counts.skipped_ranges == 1 && only.first == only.last ? " skipped (line "
                                                                    : " skipped (lines ");
  const std::size_t shown = counts.skipped_ranges < records::ReadCounts::kRangesKept
                                ? static_cast<std::size_t>(counts.skipped_ranges)
                                : records::ReadCounts::kRangesKept;
  for (std::size_t i = 0; i < shown; ++i) {
    const records::LineRange& range = counts.first_ranges[i];
    if (i > 0) text.append(", ");
    append_integer(static_cast<std::int64_t>(range.first), text);
    if (range.last != range.first) {
      text.push_back('-');
      append_integer(static_cast<std::int64_t>(range.last), text);
    }
  }
  if (counts.skipped_ranges > shown) text.append(", ...");
  text.push_back(')');
  message(name, text);
}

// After a file that could not be read, its message says enough.
void Run::report_none_found() {
  if (status_ != 0) return;
  if (options_.output == Options::Output::kChild) {
    message("no tests of " + terminal_text(options_.child) + " found");
  } else {
    message("no tests found");
  }
}

void Run::write_page(std::span<const ChildProgress* const> children) {
  const std::string facts =
      page_facts_ ? fact_page_sections(*page_facts_, fact_style_.fluent_milliseconds) : "";
  if (*options_.html == "-") {
    out_.text().append(html_page(children, facts));
    return;
  }
  const console::WriteResult result = files_.write(*options_.html, html_page(children, facts));
  if (!result.written) {
    message(*options_.html, result.reason);
    status_ = 1;
  }
}

// "mathdrill-progress: NAME: TEXT", the file's name made safe.
void Run::message(std::string_view name, std::string_view text) {
  message(message_text(name) + ": " + std::string(text));
}

// "mathdrill-progress: TEXT".
void Run::message(std::string_view text) {
  std::string line(kProgram);
  line.append(": ");
  line.append(text);
  line.push_back('\n');
  errors_.write(line.data(), line.size());
}

// Why the page must not be written to `page`: it is one of the files read
// (by name, or by identity: a link, another path), or a file that is there
// and is not a page, such as a log named where the page's name was
// forgotten (--html kitchen.txt study.txt). Empty when it may be written.
std::string page_refusal(const std::string& page, const std::vector<std::string>& inputs,
                         Files& files) {
  const std::optional<console::FoundFile> target = files.find(page);
  for (const std::string& input : inputs) {
    bool same = input == page;
    if (!same && target) {
      const std::optional<console::FoundFile> found = files.find(input);
      same = found && found->identity == target->identity;
    }
    if (same) {
      return "refusing to write the page over " + message_text(shown_name(input)) +
             ", one of the files read";
    }
  }
  if (target && (!target->regular || !holds_a_page(page, files))) {
    return "refusing to write the page over " + message_text(page) + ", which is not a page";
  }
  return {};
}

// Whether the file `page` is empty or begins as an HTML page does (after a
// byte-order mark and white space, "<!DOCTYPE html" or "<html" in any case).
// False when it cannot be read.
bool holds_a_page(const std::string& page, Files& files) {
  OpenedInput opened = files.open(page);
  if (opened.input == nullptr) return false;
  char head[64];
  std::size_t size = 0;
  while (size < sizeof head) {
    const std::size_t n = opened.input->read(head + size, sizeof head - size);
    if (n == 0) break;
    size += n;
  }
  if (!opened.input->read_error().empty()) return false;
  std::string_view start(head, size);
  if (start.starts_with("\xEF\xBB\xBF")) start.remove_prefix(3);
  while (!start.empty() &&
         (start.front() == ' ' || (start.front() >= '\t' && start.front() <= '\r'))) {
    start.remove_prefix(1);
  }
  if (start.empty()) return size == 0;
  std::string lower(start.substr(0, 14));
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower.starts_with("<!doctype html") || lower.starts_with("<html");
}

std::string_view shown_name(std::string_view name) { return name == "-" ? "standard input" : name; }

// `text` (a file's name) as a terminal may show it: every hidden_character
// (controls, bidirectional overrides and isolates) and every byte that is
// not part of a well-formed UTF-8 character becomes '?'.
std::string message_text(std::string_view text) {
  std::string shown;
  shown.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const Utf8Character character = read_utf8(text, at);
    if (!character.valid) {
      shown.append(character.length, '?');
    } else if (hidden_character(character.code_point)) {
      shown.push_back('?');
    } else {
      shown.append(text.substr(at, character.length));
    }
    at += character.length;
  }
  return shown;
}

// The options with the files read when none is named: answers.csv too when
// the current folder has one, and with --facts, which records carry none
// of, answers.csv alone. Nothing when they stay as they are.
std::optional<Options> default_answers(const Options& options, Files& files) {
  const std::string answers(records::kAnswersFileName);
  if (!options.default_files || !files.find(answers)) return std::nullopt;
  Options read = options;
  if (options.facts) read.files.clear();
  read.files.push_back(answers);
  return read;
}

int usage_error(console::ByteSink& errors, std::string_view error) {
  std::string text(kProgram);
  text.append(": ");
  text.append(error);
  text.append("\nTry 'mathdrill-progress --help' for more information.\n");
  errors.write(text.data(), text.size());
  return 2;
}

}  // namespace

}  // namespace progress
