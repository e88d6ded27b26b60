#include "progress/run_progress.h"

#include <algorithm>
#include <deque>
#include <optional>

#include "progress/child_history.h"
#include "progress/child_listing.h"
#include "progress/csv_rows.h"
#include "progress/html_page.h"
#include "progress/number_text.h"
#include "progress/options.h"
#include "progress/output_buffer.h"
#include "progress/progress_book.h"
#include "progress/records_reader.h"
#include "progress/summary_table.h"
#include "progress/text_columns.h"

namespace progress {

namespace {

constexpr std::string_view kProgram = "mathdrill-progress";

constexpr std::string_view kUsage =
    "Usage: mathdrill-progress [OPTION]... [FILE]...\n"
    "Show the progress of the children whose tests mathdrill logged in FILE (by\n"
    "default records.txt in the current folder; '-' is standard input). Tests of\n"
    "the same name in several files belong to the same child.\n"
    "\n"
    "With no option, print one row per child: the number of tests, the dates of\n"
    "the first and the last test, the last test's percent and grade, the best\n"
    "percent, the mean percent and the median seconds of the last 5 tests, and\n"
    "the percents of the last 20 tests as a trend line.\n"
    "\n"
    "  --child NAME  print every test of the child NAME, oldest first\n"
    "  --csv         print every test of every child as CSV, in the order read\n"
    "  --html FILE   also write a page with a chart of the last 100 tests of\n"
    "                each child to FILE (with --child: of that child only)\n"
    "  --help        print this help and exit\n"
    "\n"
    "--csv goes with neither --child nor --html.\n"
    "\n"
    "Tests are ordered by their starting time. Text that is not a whole test\n"
    "block is skipped, with one message for each file naming its lines.\n"
    "\n"
    "Exit status: 0 when every file was read, 1 when a file could not be read\n"
    "or written, 2 for a wrong option.\n";

// How many of a child's latest tests the page charts: more would crowd a
// chart of one mark per test.
constexpr std::size_t kChartTests = 100;

// The run of one command line: what it collects while reading the files,
// and its status.
class Run {
 public:
  Run(const Options& options, console::ByteSink& out, console::ByteSink& errors, Files& files,
      bool utf8_output);

  void read_file(const std::string& name);
  int finish();

 private:
  void report_skipped(std::string_view name, const ReadCounts& counts);
  void write_table();
  void write_child();
  void write_page(const std::vector<ChildChart>& charts);
  void message(std::string_view name, std::string_view text);
  void message(std::string_view text);

  const Options& options_;
  OutputBuffer out_;
  console::ByteSink& errors_;
  Files& files_;
  bool utf8_output_;
  std::optional<ProgressBook> book_;
  std::optional<ChildHistory> history_;
  int status_ = 0;
};

std::string_view shown_name(std::string_view name);
int usage_error(console::ByteSink& errors, std::string_view error);

}  // namespace

int run_progress(const std::vector<std::string>& args, console::ByteSink& out,
                 console::ByteSink& errors, Files& files, bool utf8_output) {
  Options options;
  std::string error;
  if (!parse_options(args, &options, &error)) return usage_error(errors, error);
  if (options.help) return out.write(kUsage.data(), kUsage.size()) ? 0 : 1;
  Run run(options, out, errors, files, utf8_output);
  for (const std::string& name : options.files) run.read_file(name);
  return run.finish();
}

namespace {

Run::Run(const Options& options, console::ByteSink& out, console::ByteSink& errors, Files& files,
         bool utf8_output)
    : options_(options), out_(out), errors_(errors), files_(files), utf8_output_(utf8_output) {
  switch (options.output) {
    case Options::Output::kTable:
      book_.emplace(options.html ? kChartTests : kTrendTests);
      break;
    case Options::Output::kChild:
      history_.emplace(options.child);
      break;
    case Options::Output::kCsv:
      append_csv_header(&out_.text());
      break;
  }
}

// Reads one file through and adds its tests to the output.
void Run::read_file(const std::string& name) {
  std::string reason;
  std::unique_ptr<Input> input = files_.open(name, &reason);
  if (input == nullptr) {
    message(shown_name(name), reason);
    status_ = 1;
    return;
  }
  RecordsReader reader(*input);
  while (const LoggedTest* test = reader.next()) {
    if (book_) {
      book_->add(*test);
    } else if (history_) {
      history_->add(*test);
    } else {
      append_csv_row(*test, &out_.text());
      out_.wrote();
    }
  }
  report_skipped(shown_name(name), reader.counts());
  reason = input->read_error();
  if (!reason.empty()) {
    message(shown_name(name), reason);
    status_ = 1;
  }
}

// Writes what was collected and returns the exit status.
int Run::finish() {
  if (book_) write_table();
  if (history_) write_child();
  if (!out_.flush()) {
    message("standard output", "write error");
    status_ = 1;
  }
  return status_;
}

// "records.txt: 12 tests read, 2 skipped (lines 19-25, 40)".
void Run::report_skipped(std::string_view name, const ReadCounts& counts) {
  if (counts.skipped_ranges == 0) return;
  std::string text;
  append_integer(static_cast<std::int64_t>(counts.tests), &text);
  text.append(counts.tests == 1 ? " test read, " : " tests read, ");
  append_integer(static_cast<std::int64_t>(counts.skipped_ranges), &text);
  const LineRange& only = counts.first_ranges[0];
  text.append(counts.skipped_ranges == 1 && only.first == only.last ? " skipped (line "
                                                                    : " skipped (lines ");
  const std::size_t shown = counts.skipped_ranges < ReadCounts::kRangesKept
                                ? static_cast<std::size_t>(counts.skipped_ranges)
                                : ReadCounts::kRangesKept;
  for (std::size_t i = 0; i < shown; ++i) {
    const LineRange& range = counts.first_ranges[i];
    if (i > 0) text.append(", ");
    append_integer(static_cast<std::int64_t>(range.first), &text);
    if (range.last != range.first) {
      text.push_back('-');
      append_integer(static_cast<std::int64_t>(range.last), &text);
    }
  }
  if (counts.skipped_ranges > shown) text.append(", ...");
  text.push_back(')');
  message(name, text);
}

void Run::write_table() {
  const std::vector<const ChildProgress*> children = book_->children();
  if (!children.empty()) {
    write_summary_table(children, utf8_output_, &out_.text());
  } else if (status_ == 0) {
    // After a file that could not be read, its message says enough.
    message("no tests found");
  }
  if (!options_.html) return;
  // The page needs each child's tests side by side; the window is a ring.
  std::vector<std::vector<KeptTest>> shown(children.size());
  std::vector<ChildChart> charts;
  for (std::size_t i = 0; i < children.size(); ++i) {
    const ChildProgress& child = *children[i];
    for (std::size_t j = 0; j < child.recent.size(); ++j) shown[i].push_back(child.recent[j]);
    charts.push_back({.name = child.name,
                      .tests = child.tests,
                      .best_percent = child.best_percent,
                      .first_start = child.first.start,
                      .shown = shown[i]});
  }
  write_page(charts);
}

void Run::write_child() {
  const std::deque<KeptTest>& tests = history_->tests();
  if (!tests.empty()) {
    write_child_listing(tests, out_);
  } else if (status_ == 0) {
    message("no tests of " + terminal_text(options_.child) + " found");
  }
  if (!options_.html) return;
  std::vector<ChildChart> charts;
  int best = 0;
  for (const KeptTest& test : tests) best = std::max<int>(best, test.percent);
  const std::vector<KeptTest> shown(
      tests.size() > kChartTests ? tests.end() - kChartTests : tests.begin(), tests.end());
  if (!tests.empty()) {
    charts.push_back({.name = history_->name(),
                      .tests = tests.size(),
                      .best_percent = best,
                      .first_start = tests.front().start,
                      .shown = shown});
  }
  write_page(charts);
}

void Run::write_page(const std::vector<ChildChart>& charts) {
  std::string reason;
  if (!files_.write(*options_.html, html_page(charts), &reason)) {
    message(*options_.html, reason);
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
