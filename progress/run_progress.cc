#include "progress/run_progress.h"

#include <algorithm>
#include <optional>

#include "progress/csv_rows.h"
#include "progress/fact_book.h"
#include "progress/fact_outputs.h"
#include "progress/fact_page.h"
#include "progress/file_reading.h"
#include "progress/html_page.h"
#include "progress/messages.h"
#include "progress/options.h"
#include "progress/output_buffer.h"
#include "progress/output_text.h"
#include "progress/page_file.h"
#include "progress/progress_book.h"
#include "progress/text_table.h"
#include "records/answers_format.h"
#include "records/format.h"
#include "text/safe_text.h"

namespace progress {

namespace {

// The run of one command line: what it collects from the files read, and
// its status.
class Run : public Taker {
 public:
  Run(const Options& options, console::ByteSink& out, console::ByteSink& errors, Files& files,
      bool utf8_output, bool colour);

  void read_file(const std::string& name);
  int finish();

  void take_test(const records::LoggedTest& test) override;
  void take_answer(const records::Answer& answer) override;

 private:
  void take_answer_for_tests(const records::Answer& answer);
  void take_missed(const records::Answer& answer);
  void write_facts();
  void report_none_found();
  void write_page(std::span<const ChildProgress* const> children);

  const Options& options_;
  OutputBuffer out_;
  Messages messages_;
  Files& files_;
  FileReading reading_;
  bool utf8_output_;
  std::optional<ProgressBook> book_;    // for the table and --child, not --csv or --facts
  std::optional<FactBook> fact_book_;   // for --facts
  std::optional<MissedFacts> missed_;   // for --child, once answers were read
  std::optional<FactBook> page_facts_;  // for the page's grids
  FactStyle fact_style_;
  bool csv_header_written_ = false;
  CsvRows csv_rows_;
  int status_ = 0;
};

std::optional<Options> default_answers(const Options& options, Files& files);

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
      reading_(files, messages_, options.files.size() > 1),
      utf8_output_(utf8_output) {
  fact_style_ = {.fluent_milliseconds = static_cast<std::uint32_t>(options.fluent_seconds) * 1000,
                 .colour = colour};
  if (options.facts) {
    fact_book_.emplace();
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
}

// Reads one file through into the output.
void Run::read_file(const std::string& name) {
  if (book_) book_->start_file();
  if (!reading_.read(name, *this)) status_ = 1;
}

// Adds an answer read: to the fact book under --facts; otherwise, for
// --child, to the facts each test missed, and to the page's grids.
void Run::take_answer(const records::Answer& answer) {
  if (fact_book_) {
    fact_book_->add(answer);
    return;
  }
  take_answer_for_tests(answer);
}

// Adds an answer read for the outputs of tests: for --child, to the facts
// each test missed, and to the page's grids. Never inlined into
// take_answer(), so that the call for each answer under --facts stays
// small: this one needs a large frame.
[[gnu::noinline]] void Run::take_answer_for_tests(const records::Answer& answer) {
  if (options_.output == Options::Output::child) take_missed(answer);
  if (options_.html &&
      (options_.output != Options::Output::child || answer.name == options_.child)) {
    if (!page_facts_) page_facts_.emplace();
    page_facts_->add(answer);
  }
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
  csv_rows_.flush(&out_.text());
  if (!out_.flush()) {
    messages_.say("standard output: write error");
    status_ = 1;
  }
  return status_;
}

// Adds a test read to the output: to the book, when it is kept for the
// table or is the child's asked for, or as a CSV row at once. Under --facts
// the tests of records logs are read (for the messages) but not kept.
void Run::take_test(const records::LoggedTest& test) {
  if (fact_book_) return;
  switch (options_.output) {
    case Options::Output::table:
      book_->add(test);
      break;
    case Options::Output::child:
      if (test.name == options_.child) book_->add(test);
      break;
    case Options::Output::csv:
      if (!csv_header_written_) {
        append_csv_header(&out_.text());
        csv_header_written_ = true;
      }
      if (csv_rows_.append_row(test, &out_.text())) out_.wrote();
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

}  // namespace

}  // namespace progress
