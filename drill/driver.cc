#include "drill/driver.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "console/console_input.h"
#include "console/console_output.h"
#include "drill/name.h"
#include "drill/options.h"
#include "drill/problem.h"
#include "drill/random.h"
#include "drill/report.h"
#include "records/format.h"
#include "text/text_buffer.h"

namespace drill {

namespace {

using console::line_end;
using console::ReadResult;

// How far a run has got: still running, or why it ended.
enum class Ending {
  running,     // go on
  declined,    // the go-again answer did not begin with y or Y
  input_over,  // input ended at a question or during a test
  bad_limit,   // the addend limit was text that is not a whole number
  bad_answer,  // an answer was text that is not a whole number
};

// One message line on the error stream, built whole and written at once.
using Message = text::TextBuffer<1024>;

// The running drill: the console streams, the clock and the log it talks
// to, and the state that lasts for the whole run.
class Drill {
 public:
  explicit Drill(const Surroundings& surroundings)
      : out_(surroundings.output),
        in_(surroundings.input, &out_),
        clock_(surroundings.clock),
        log_(surroundings.log),
        answers_(surroundings.answers),
        errors_(surroundings.errors),
        operations_(surroundings.operations) {}

  Ending run();
  // The text that was not a number, when the run ended on one.
  std::string_view rejected() const { return {rejected_, rejected_size_}; }
  void flush() { out_.flush(); }

 private:
  Ending read_name();
  Ending read_addend_limit();
  Ending run_test(Problem& problem);
  records::Operation choose_operation();
  Ending reject_number(Ending ending);
  void report_lost_block(std::string_view reason);
  void report_lost_answers(std::string_view reason);

  console::ConsoleOutput out_;
  console::ConsoleInput in_;
  console::Clock& clock_;
  files::Appender& log_;
  files::Appender& answers_;
  console::ByteSink& errors_;
  const records::Operations operations_;
  RandomSource random_;
  char name_[kWordBuffer] = {};
  std::size_t name_size_ = 0;
  std::int32_t limit_ = 0;
  char rejected_[kWordBuffer] = {};
  std::size_t rejected_size_ = 0;
};

int run_program(const Surroundings& surroundings);
void write_message(const Message& message, console::ByteSink& sink);
bool pause_before_closing(unsigned console_processes);
void wait_for_enter(console::ByteSource& input);

}  // namespace

int run_command_line(int argc, const char* const* argv, Surroundings surroundings) {
  const Command command = read_command_line(argc, argv);
  switch (command.action) {
    case Command::Action::help:
      surroundings.output.write(help_text().data(), help_text().size());
      return 0;
    case Command::Action::version:
      surroundings.output.write(version_text().data(), version_text().size());
      return 0;
    case Command::Action::refuse:
      surroundings.errors.write(command.message.view().data(), command.message.view().size());
      return 2;
    case Command::Action::run:
      break;
  }
  surroundings.operations = command.operations;
  return run_program(surroundings);
}

namespace {

// Runs the whole dialogue and returns the exit status (run_command_line).
int run_program(const Surroundings& surroundings) {
  Drill drill(surroundings);
  const Ending ending = drill.run();
  if (ending != Ending::bad_limit && ending != Ending::bad_answer) return 0;

  // The dialogue is on the screen before the message.
  drill.flush();
  Message message;
  if (ending == Ending::bad_limit) {
    message << kMessageHead << "the "
            << (surroundings.operations.multiplies() ? "number limit" : "addend limit")
            << " must be a whole number, not \"" << drill.rejected() << "\"\n";
  } else {
    message << kMessageHead << "the answer must be a whole number, not \"" << drill.rejected()
            << "\"; this test was not recorded\n";
  }
  write_message(message, surroundings.errors);
  if (pause_before_closing(surroundings.console_processes)) {
    constexpr std::string_view kPressEnter = "Press Enter to close this window.";
    surroundings.errors.write(kPressEnter.data(), kPressEnter.size());
    wait_for_enter(surroundings.input);
  }
  return 1;
}

Ending Drill::run() {
  random_.seed_from_clock(clock_);
  random_.set_seed(static_cast<std::uint32_t>(random_.next_value()));

  out_ << "Velmora Math Software -- version 1" << line_end << line_end;
  out_ << "Dedicated to Marivane" << line_end << line_end;
  if (Ending ending = read_name(); ending != Ending::running) return ending;
  if (Ending ending = read_addend_limit(); ending != Ending::running) return ending;

  const std::int32_t low = operations_.low();
  Problem problem(low, limit_, low, limit_, 1, random_);
  for (;;) {
    if (Ending ending = run_test(problem); ending != Ending::running) return ending;
    char answer[kWordBuffer];
    out_ << "\nDo you want to go again? (y or n) ";
    if (in_.read_word(answer, sizeof answer) != ReadResult::ok) {
      out_ << line_end;
      return Ending::input_over;
    }
    if (console::to_upper(static_cast<signed char>(answer[0])) != 'Y') return Ending::declined;
  }
}

// Reads the name: the whole word is consumed, and the name keeps what
// make_printable() leaves of it. Input that ends first ends the run.
Ending Drill::read_name() {
  out_ << "What is your name? ";
  if (in_.read_word(name_, sizeof name_) != ReadResult::ok) {
    out_ << line_end;
    return Ending::input_over;
  }
  name_size_ = make_printable(name_, std::strlen(name_));
  name_[name_size_] = '\0';
  return Ending::running;
}

// Asks for the largest number until the range from the low bound up to it is
// sound: not -1 (whose range would divide by zero), and with division at
// least 1, so that no divisor is 0. Input that ends first, or text that is
// not a number, ends the run.
Ending Drill::read_addend_limit() {
  for (;;) {
    std::int32_t limit = 0;
    out_ << (operations_.multiplies() ? "How big do you want the numbers to be? "
                                      : "How big do you want the addends to be? ");
    const ReadResult result = in_.read_integer(&limit);
    if (result == ReadResult::not_a_number) return reject_number(Ending::bad_limit);
    if (result != ReadResult::ok) {
      out_ << line_end;
      return Ending::input_over;
    }
    const bool divides = operations_.has(records::Operation::division);
    if (limit != -1 && (!divides || limit >= 1)) {
      limit_ = limit;
      return Ending::running;
    }
  }
}

// Runs one test of 20 problems and its report. An answer that cannot be read
// abandons the test at once: no further problem, no report, no block, and
// the end time is not read.
Ending Drill::run_test(Problem& problem) {
  TestRecord record;
  record.name = std::string_view(name_, name_size_);
  record.operations = operations_;
  record.addend_limit = limit_;
  record.start_time = clock_.now();
  out_ << records::kStartHead << local_timestamp(clock_, record.start_time).view() << "\n"
       << line_end << line_end;
  out_ << "Ok, GO!!!   Good luck!!!" << line_end << line_end;

  for (std::int32_t number = 1; number <= records::kProblemCount; ++number) {
    const records::Operation operation = choose_operation();
    out_ << number << ".\t" << problem.prompt(operation).view();
    const std::int32_t correct = problem.answer(operation);
    // The prompt reaches the screen as the read begins; the answer is timed
    // from there to the end of the read.
    const std::uint64_t asked = clock_.milliseconds();
    std::int32_t answer = 0;
    const ReadResult result = in_.read_integer(&answer);
    const std::uint64_t answered = clock_.milliseconds();
    if (result == ReadResult::not_a_number) return reject_number(Ending::bad_answer);
    if (result != ReadResult::ok) {
      out_ << line_end;
      return Ending::input_over;
    }
    record.answers[static_cast<std::size_t>(number - 1)] = {
        .operation = operation,
        .first = problem.shown_first(operation),
        .second = problem.second_number(),
        .correct = correct,
        .answer = answer,
        .milliseconds = static_cast<std::uint32_t>(
            answered > asked ? std::min<std::uint64_t>(answered - asked, UINT32_MAX) : 0)};
    if (answer == correct) {
      ++record.right_count;
      out_ << "That is right, " << record.name << "!  Now you have " << record.right_count
           << " out of " << number << line_end << line_end;
    } else {
      out_ << "Sorry ... the correct answer is " << correct << line_end << line_end;
    }
    problem.next();
  }

  record.end_time = clock_.now();
  const files::AppendResult stored = write_report(record, out_, clock_, log_);
  if (!stored.stored) report_lost_block(stored.reason);
  // The answers are kept even when the block could not be.
  const files::AppendResult answers_stored = write_answers(record, clock_, answers_);
  if (!answers_stored.stored) report_lost_answers(answers_stored.reason);
  return Ending::running;
}

// Draws the next problem's operation: one value r from the random source,
// whatever the operations, and the operation at (r + 1) mod k of the k
// chosen ones in canonical order. With addition and subtraction an odd r
// gives a sum.
records::Operation Drill::choose_operation() {
  const std::int32_t r = random_.next_value();
  return operations_.at((r + 1) % operations_.count());
}

// Ends the pending prompt's line and keeps the text that was not a number,
// for the message.
Ending Drill::reject_number(Ending ending) {
  out_ << line_end;
  rejected_size_ = make_printable(rejected_, in_.take_rejected_word(rejected_, sizeof rejected_));
  return ending;
}

// Says on the error stream that this test's block is not in the log.
void Drill::report_lost_block(std::string_view reason) {
  Message message;
  message << kMessageHead << log_.name() << ": " << reason << "; this test was not recorded\n";
  write_message(message, errors_);
}

void Drill::report_lost_answers(std::string_view reason) {
  Message message;
  message << kMessageHead << answers_.name() << ": " << reason
          << "; the answers of this test were not recorded\n";
  write_message(message, errors_);
}

void write_message(const Message& message, console::ByteSink& sink) {
  sink.write(message.view().data(), message.view().size());
}

// Whether the drill must wait for Enter before it ends with a message: only
// when it is the one process on its console window (started by a
// double-click on Windows), which closes as soon as it ends.
bool pause_before_closing(unsigned console_processes) { return console_processes == 1; }

// Waits until a line end is typed or input ends. Reads the source itself,
// not the console input, so what was typed before the message does not count.
void wait_for_enter(console::ByteSource& input) {
  char c = 0;
  while (input.read(&c, 1) == 1 && c != '\n') {
  }
}

}  // namespace

}  // namespace drill
