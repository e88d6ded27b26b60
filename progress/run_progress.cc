#include "progress/run_progress.h"

#include <algorithm>
#include <optional>

#include "progress/csv_rows.h"
#include "progress/html_page.h"
#include "progress/options.h"
#include "progress/output_buffer.h"
#include "progress/output_text.h"
#include "progress/progress_book.h"
#include "progress/seen_tests.h"
#include "progress/text_table.h"
#include "records/block_reader.h"

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
    "                each child and kind to FILE (with --child: of that child only)\n"
    "  --help        print this help and exit\n"
    "  --version     print the version and exit\n"
    "\n"
    "--csv goes with neither --child nor --html.\n"
    "\n"
    "Each file's tests keep its order, and the files are merged by starting\n"
    "time. A test found in several files counts once. Text that is not a whole\n"
    "test block is skipped, with one message for each file naming its lines.\n"
    "\n"
    "Exit status: 0 when every file was read, 1 when a file could not be read\n"
    "or written, 2 for a wrong option.\n";

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
      bool utf8_output);

  void read_file(const std::string& name);
  int finish();

 private:
  std::string_view next_piece(Input& input);
  void take(const records::LoggedTest& test);
  void report_skipped(std::string_view name, const records::ReadCounts& counts,
                      std::uint64_t duplicates);
  void write_table(std::span<const ChildProgress* const> children);
  void write_child(std::span<const ChildProgress* const> children);
  void write_page(std::span<const ChildProgress* const> children);
  void message(std::string_view name, std::string_view text);
  void message(std::string_view text);

  const Options& options_;
  OutputBuffer out_;
  console::ByteSink& errors_;
  Files& files_;
  bool utf8_output_;
  std::optional<ProgressBook> book_;  // for the table and --child, not --csv
  std::optional<SeenTests> seen_;     // when more than one file is named
  std::size_t files_read_ = 0;
  std::vector<char> buffer_;
  std::size_t last_read_ = 0;  // bytes the last read put in the buffer
  int status_ = 0;
};

std::string_view shown_name(std::string_view name);
int usage_error(console::ByteSink& errors, std::string_view error);

}  // namespace

int run_progress(const std::vector<std::string>& args, console::ByteSink& out,
                 console::ByteSink& errors, Files& files, bool utf8_output) {
  const ParsedOptions parsed = parse_options(args);
  if (!parsed.error.empty()) return usage_error(errors, parsed.error);
  const Options& options = parsed.options;
  if (options.help) return out.write(kUsage.data(), kUsage.size()) ? 0 : 1;
  if (options.version) {
    const std::string line = std::string(kProgram) + " " + MATHDRILL_VERSION + "\n";
    return out.write(line.data(), line.size()) ? 0 : 1;
  }
  Run run(options, out, errors, files, utf8_output);
  for (const std::string& name : options.files) run.read_file(name);
  return run.finish();
}

namespace {

Run::Run(const Options& options, console::ByteSink& out, console::ByteSink& errors, Files& files,
         bool utf8_output)
    : options_(options),
      out_(out),
      errors_(errors),
      files_(files),
      utf8_output_(utf8_output),
      buffer_(kFirstPiece) {
  switch (options.output) {
    case Options::Output::kTable:
      book_.emplace(
          Keep{.trend = kTrendTests, .tests = options.html ? kChartTests : 0, .by_kind = true});
      break;
    case Options::Output::kChild:
      book_.emplace(Keep{.tests = kAllTests});
      break;
    case Options::Output::kCsv:
      append_csv_header(out_.text());
      break;
  }
  if (options.files.size() > 1) seen_.emplace();
}

// Reads one file through and adds its tests to the output.
void Run::read_file(const std::string& name) {
  if (seen_) seen_->start_file(++files_read_ == options_.files.size());
  OpenedInput opened = files_.open(name);
  if (opened.input == nullptr) {
    message(shown_name(name), opened.reason);
    status_ = 1;
    return;
  }
  if (book_) book_->start_file();
  records::BlockReader reader;
  if (seen_) reader.make_fingerprints();
  std::uint64_t duplicates = 0;
  for (std::string_view piece; !(piece = next_piece(*opened.input)).empty();) {
    reader.add(piece);
    while (const records::LoggedTest* test = reader.next()) {
      if (seen_ && seen_->repeated(test->fingerprint)) {
        ++duplicates;
      } else {
        take(*test);
      }
    }
  }
  report_skipped(shown_name(name), reader.finish(), duplicates);
  const std::string reason = opened.input->read_error();
  if (!reason.empty()) {
    message(shown_name(name), reason);
    status_ = 1;
  }
}

// Writes what was collected and returns the exit status.
int Run::finish() {
  if (book_) {
    const std::vector<const ChildProgress*> children = book_->finish();
    if (options_.output == Options::Output::kTable) {
      write_table(children);
    } else {
      write_child(children);
    }
    if (options_.html && options_.output == Options::Output::kChild && !children.empty()) {
      // --child keeps the child's kinds of test together, in its files'
      // order; the page charts each kind apart.
      const std::vector<ChildProgress> kinds = split_by_kind(*children.front(), kChartTests);
      std::vector<const ChildProgress*> shown;
      for (const ChildProgress& kind : kinds) shown.push_back(&kind);
      write_page(shown);
    } else if (options_.html) {
      write_page(children);
    }
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
      append_csv_row(test, out_.text());
      out_.wrote();
      break;
  }
}

// "records.txt: 12 tests read, 2 skipped (lines 19-25, 40)", with
// ", 3 duplicates" after the tests read when some were read before from
// another file.
void Run::report_skipped(std::string_view name, const records::ReadCounts& counts,
                         std::uint64_t duplicates) {
  if (counts.skipped_ranges == 0 && duplicates == 0) return;
  std::string text;
  append_integer(static_cast<std::int64_t>(counts.tests), text);
  text.append(counts.tests == 1 ? " test read" : " tests read");
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

void Run::write_table(std::span<const ChildProgress* const> children) {
  if (!children.empty()) {
    write_summary_table(children, utf8_output_, out_);
  } else if (status_ == 0) {
    // After a file that could not be read, its message says enough.
    message("no tests found");
  }
}

// The book holds the one child asked for, or nobody.
void Run::write_child(std::span<const ChildProgress* const> children) {
  if (!children.empty()) {
    write_child_listing(children.front()->latest, out_);
  } else if (status_ == 0) {
    message("no tests of " + terminal_text(options_.child) + " found");
  }
}

void Run::write_page(std::span<const ChildProgress* const> children) {
  const console::WriteResult result = files_.write(*options_.html, html_page(children));
  if (!result.written) {
    message(*options_.html, result.reason);
    status_ = 1;
  }
}

// "mathdrill-progress: NAME: TEXT".
void Run::message(std::string_view name, std::string_view text) {
  message(std::string(name) + ": " + std::string(text));
}

// "mathdrill-progress: TEXT".
void Run::message(std::string_view text) {
  std::string line(kProgram);
  line.append(": ");
  line.append(text);
  line.push_back('\n');
  errors_.write(line.data(), line.size());
}

std::string_view shown_name(std::string_view name) { return name == "-" ? "standard input" : name; }

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
