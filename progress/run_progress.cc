#include "progress/run_progress.h"

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <set>

#include "progress/csv_rows.h"
#include "progress/fact_book.h"
#include "progress/fact_outputs.h"
#include "progress/fact_page.h"
#include "progress/html_page.h"
#include "progress/messages.h"
#include "progress/options.h"
#include "progress/output_buffer.h"
#include "progress/output_text.h"
#include "progress/page_file.h"
#include "progress/progress_book.h"
#include "progress/seen_tests.h"
#include "progress/text_table.h"
#include "records/answers_format.h"
#include "records/answers_reader.h"
#include "records/block_reader.h"
#include "records/fingerprint.h"
#include "records/format.h"
#include "text/safe_text.h"

namespace progress {

namespace {

// A file is read in pieces of at most this many bytes. The buffer starts
// at kFirstPiece and grows while reads fill it, so that a small file needs
// little and a large one is read in large pieces; it is kept for the files
// after.
constexpr std::size_t kFirstPiece = 4096;
constexpr std::size_t kLargestPiece = 1024 * 1024;

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
  void take_missed(const records::Answer& answer);
  void write_facts();
  void take(const records::LoggedTest& test);
  void report_none_found();
  void write_page(std::span<const ChildProgress* const> children);

  const Options& options_;
  OutputBuffer out_;
  Messages messages_;
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
  std::map<files::FileIdentity, std::string> files_read_;
  std::optional<SeenTests> seen_;          // when more than one file is named
  std::optional<SeenTests> seen_answers_;  // likewise, for the tests of answers files
  // The key of the tests' fingerprints, drawn for this run.
  records::FingerprintKey fingerprint_key_;
  std::unique_ptr<char[]> buffer_;  // not cleared: reads fill what is used
  std::size_t buffer_size_ = kFirstPiece;
  std::size_t last_read_ = 0;  // bytes the last read put in the buffer
  int status_ = 0;
};

std::optional<Options> default_answers(const Options& options, Files& files);
records::Fingerprint answers_test_fingerprint(const records::Answer& answer,
                                              records::FingerprintKey key);

}  // namespace

int run_progress(const std::vector<std::string>& args, console::ByteSink& out,
                 console::ByteSink& errors, Files& files, bool utf8_output, bool colour_terminal,
                 bool no_color) {
  const ParsedOptions parsed = parse_options(args);
  Messages messages(errors);
  if (!parsed.error.empty()) return messages.usage_error(parsed.error);
  const Options& options = parsed.options;
  if (options.help) return out.write(usage_text().data(), usage_text().size()) ? 0 : 1;
  if (options.version) {
    const std::string line = version_line();
    return out.write(line.data(), line.size()) ? 0 : 1;
  }
  if (options.html && *options.html != "-") {
    const std::string refusal = page_refusal(*options.html, options.files, files);
    if (!refusal.empty()) return messages.usage_error(refusal);
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
      messages_(errors),
      files_(files),
      utf8_output_(utf8_output),
      buffer_(new char[kFirstPiece]) {
  fact_style_ = {.fluent_milliseconds = static_cast<std::uint32_t>(options.fluent_seconds) * 1000,
                 .colour = colour};
  if (options.files.size() > 1) {
    seen_answers_.emplace();
    fingerprint_key_ = records::random_fingerprint_key();
  }
  if (options.facts) {
    fact_book_.emplace();
    if (options.files.size() > 1) seen_.emplace();
    return;
  }
  switch (options.output) {
    case Options::Output::table:
      book_.emplace(
          Keep{.trend = kTrendTests, .tests = options.html ? kChartTests : 0, .by_kind = true});
      break;
    case Options::Output::child:
      book_.emplace(Keep{.tests = kAllTests});
      break;
    case Options::Output::csv:
      break;
  }
  if (options.files.size() > 1) seen_.emplace();
}

// Reads one file through and adds its tests to the output, unless it was
// read already under this name or another.
void Run::read_file(const std::string& name) {
  if (names_read_.contains(name)) {
    messages_.about_file(name, "named more than once, read once");
    return;
  }
  std::unique_ptr<Input> input;
  if (const files::Status opened = files_.open(name, &input); !opened.ok()) {
    messages_.about_file(name, opened.reason());
    status_ = 1;
    return;
  }
  if (const std::optional<files::FileIdentity> identity = input->identity()) {
    const auto [first, added] = files_read_.try_emplace(*identity, name);
    if (!added) {
      messages_.about_file(name,
                           "the same file as " + safe_file_name(first->second) + ", read once");
      return;
    }
  }
  names_read_.insert(name);
  // A file whose first line is the answers header holds answers.
  const std::string head = read_head(*input);
  std::string_view first_line = std::string_view(head).substr(0, head.find('\n'));
  if (first_line.starts_with(records::kByteOrderMark)) {
    first_line.remove_prefix(records::kByteOrderMark.size());
  }
  if (first_line.ends_with('\r')) first_line.remove_suffix(1);
  if (records::is_answers_header(first_line)) {
    read_answers(name, head, *input);
  } else {
    read_blocks(name, head, *input);
  }
  if (const files::Status read = input->read_status(); !read.ok()) {
    messages_.about_file(name, read.reason());
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
  if (seen_) reader.make_fingerprints(fingerprint_key_);
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
  messages_.about_skipped(name, reader.finish(), duplicates);
}

// Reads an answers file through, `head` first, into the fact book under
// --facts. A test's lines follow each other, so each test is looked up
// among those read before once, at its first line.
void Run::read_answers(std::string_view name, std::string_view head, Input& input) {
  records::AnswersReader reader;
  std::uint64_t duplicates = 0;
  std::optional<std::uint64_t> test;  // the reader's mark of the test being read
  bool repeated = false;
  for (std::string_view piece = head; !piece.empty(); piece = next_piece(input)) {
    reader.add(piece);
    while (const records::Answer* answer = reader.next()) {
      if (test != answer->fingerprint) {
        test = answer->fingerprint;
        repeated = seen_answers_ &&
                   seen_answers_->repeated(answers_test_fingerprint(*answer, fingerprint_key_));
        if (repeated) ++duplicates;
      }
      if (repeated) continue;
      if (fact_book_) {
        fact_book_->add(*answer);
        continue;
      }
      if (options_.output == Options::Output::child) take_missed(*answer);
      if (options_.html &&
          (options_.output != Options::Output::child || answer->name == options_.child)) {
        if (!page_facts_) page_facts_.emplace();
        page_facts_->add(*answer);
      }
    }
  }
  messages_.about_skipped(name, reader.finish(), duplicates, "answer");
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
    case Options::Output::table:
      if (children.empty()) {
        if (status_ == 0) messages_.say("no answers found");
        return;
      }
      append_facts_table(*fact_book_, fact_style_, &out_.text());
      return;
    case Options::Output::child:
      if (const ChildFacts* child = fact_book_->child(options_.child)) {
        append_fact_grids(*child, fact_style_, &out_.text());
      } else if (status_ == 0) {
        messages_.say("no answers of " + text::terminal_text(options_.child) + " found");
      }
      return;
    case Options::Output::csv:
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
    } else if (!page_on_output && options_.output == Options::Output::table) {
      write_summary_table(children, utf8_output_, out_);
    } else if (!page_on_output) {
      // The book holds the one child asked for.
      write_child_listing(children.front()->latest, out_, missed_ ? &*missed_ : nullptr);
    }
    if (options_.html && (!children.empty() || status_ == 0)) {
      if (options_.output == Options::Output::child && !children.empty()) {
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
    messages_.say("standard output: write error");
    status_ = 1;
  }
  return status_;
}

// The next piece of `input` in the buffer; empty at its end. The pieces
// before it have been read through, so the buffer may grow first.
std::string_view Run::next_piece(Input& input) {
  if (last_read_ == buffer_size_ && buffer_size_ < kLargestPiece) {
    buffer_size_ = std::min(buffer_size_ * 4, kLargestPiece);
    buffer_.reset(new char[buffer_size_]);
  }
  last_read_ = input.read(buffer_.get(), buffer_size_);
  return {buffer_.get(), last_read_};
}

// Adds a test read to the output: to the book, when it is kept for the
// table or is the child's asked for, or as a CSV row at once.
void Run::take(const records::LoggedTest& test) {
  switch (options_.output) {
    case Options::Output::table:
      book_->add(test);
      break;
    case Options::Output::child:
      if (test.name == options_.child) book_->add(test);
      break;
    case Options::Output::csv:
      if (!csv_header_written_) append_csv_header(&out_.text());
      csv_header_written_ = true;
      append_csv_row(test, &out_.text());
      out_.wrote();
      break;
  }
}

// After a file that could not be read, its message says enough.
void Run::report_none_found() {
  if (status_ != 0) return;
  if (options_.output == Options::Output::child) {
    messages_.say("no tests of " + text::terminal_text(options_.child) + " found");
  } else {
    messages_.say("no tests found");
  }
}

void Run::write_page(std::span<const ChildProgress* const> children) {
  const std::string facts =
      page_facts_ ? fact_page_sections(*page_facts_, fact_style_.fluent_milliseconds) : "";
  const std::string style = facts.empty() ? "" : fact_page_style();
  const PageParts parts{.style = style, .sections = facts};
  if (*options_.html == "-") {
    out_.write_through(html_page(children, parts));
    return;
  }
  const files::WriteResult result = files_.write(*options_.html, html_page(children, parts));
  if (!result.written) {
    messages_.about_file(*options_.html, result.reason);
    status_ = 1;
  }
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

// The keyed fingerprint of the test an answer belongs to: of the fields that
// all of a test's lines repeat (its start, name, operations and limit), so
// that a test read before, in this file or another, counts once.
records::Fingerprint answers_test_fingerprint(const records::Answer& answer,
                                              records::FingerprintKey key) {
  records::FingerprintHasher hasher(key);
  const auto add_text = [&hasher](std::string_view text) {
    const auto size = static_cast<std::uint32_t>(text.size());
    hasher.add(std::string_view(reinterpret_cast<const char*>(&size), sizeof size));
    hasher.add(text);
  };
  add_text(answer.started);
  add_text(answer.name);
  add_text(records::signs(answer.operations).view());
  hasher.add(std::string_view(reinterpret_cast<const char*>(&answer.limit), sizeof answer.limit));
  return hasher.finish();
}

}  // namespace

}  // namespace progress
