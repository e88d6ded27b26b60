#include "progress/run_progress.h"

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <set>

#include "progress/csv_rows.h"
#include "progress/html_page.h"
#include "progress/messages.h"
#include "progress/options.h"
#include "progress/output_buffer.h"
#include "progress/output_text.h"
#include "progress/page_file.h"
#include "progress/progress_book.h"
#include "progress/seen_tests.h"
#include "progress/text_table.h"
#include "records/block_reader.h"
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
      bool utf8_output);

  void read_file(const std::string& name);
  int finish();

 private:
  std::string_view next_piece(Input& input);
  void take(const records::LoggedTest& test);
  void report_none_found();
  void write_page(std::span<const ChildProgress* const> children);

  const Options& options_;
  OutputBuffer out_;
  Messages messages_;
  Files& files_;
  bool utf8_output_;
  std::optional<ProgressBook> book_;  // for the table and --child, not --csv
  bool csv_header_written_ = false;
  // The files read so far: by name, and by identity with the name they were
  // first read by.
  std::set<std::string> names_read_;
  std::map<files::FileIdentity, std::string> files_read_;
  std::optional<SeenTests> seen_;  // when more than one file is named
  // The key of the tests' fingerprints, drawn for this run.
  records::FingerprintKey fingerprint_key_;
  std::unique_ptr<char[]> buffer_;  // not cleared: reads fill what is used
  std::size_t buffer_size_ = kFirstPiece;
  std::size_t last_read_ = 0;  // bytes the last read put in the buffer
  int status_ = 0;
};

}  // namespace

int run_progress(const std::vector<std::string>& args, console::ByteSink& out,
                 console::ByteSink& errors, Files& files, bool utf8_output) {
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
  Run run(options, out, errors, files, utf8_output);
  for (const std::string& name : options.files) run.read_file(name);
  return run.finish();
}

namespace {

Run::Run(const Options& options, console::ByteSink& out, console::ByteSink& errors, Files& files,
         bool utf8_output)
    : options_(options),
      out_(out),
      messages_(errors),
      files_(files),
      utf8_output_(utf8_output),
      buffer_(new char[kFirstPiece]) {
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
  if (options.files.size() > 1) {
    seen_.emplace();
    fingerprint_key_ = records::random_fingerprint_key();
  }
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
  if (book_) book_->start_file();
  records::BlockReader reader;
  if (seen_) reader.make_fingerprints(fingerprint_key_);
  std::uint64_t duplicates = 0;
  for (std::string_view piece; !(piece = next_piece(*input)).empty();) {
    reader.add(piece);
    while (const records::LoggedTest* test = reader.next()) {
      if (seen_ && seen_->repeated(test->fingerprint)) {
        ++duplicates;
      } else {
        take(*test);
      }
    }
  }
  messages_.about_skipped(name, reader.finish(), duplicates);
  if (const files::Status read = input->read_status(); !read.ok()) {
    messages_.about_file(name, read.reason());
    status_ = 1;
  }
}

// Writes what was collected and returns the exit status. The page goes to
// standard output in place of the table with "--html -". It is not written
// when no test was found after a file could not be read, so that a page
// written before stays.
int Run::finish() {
  if (book_) {
    const std::vector<const ChildProgress*> children = book_->finish();
    const bool page_on_output = options_.html == "-";
    if (children.empty()) {
      report_none_found();
    } else if (!page_on_output && options_.output == Options::Output::table) {
      write_summary_table(children, utf8_output_, out_);
    } else if (!page_on_output) {
      // The book holds the one child asked for.
      write_child_listing(children.front()->latest, out_);
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
  if (*options_.html == "-") {
    out_.write_through(html_page(children));
    return;
  }
  const files::WriteResult result = files_.write(*options_.html, html_page(children));
  if (!result.written) {
    messages_.about_file(*options_.html, result.reason);
    status_ = 1;
  }
}

}  // namespace

}  // namespace progress
