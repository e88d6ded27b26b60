#include "drill/driver.h"

#include <cstdint>
#include <cstring>
#include <string_view>

#include "drill/problem.h"
#include "drill/random.h"
#include "drill/report.h"

namespace drill {

namespace {

using console::line_end;
using console::ReadResult;

constexpr std::int32_t kProblemsPerTest = 20;
constexpr char kLimitMessage[] = "mathdrill: the addend limit must be a whole number\n";

std::optional<std::int32_t> read_addend_limit(console::ConsoleInput& in,
                                              console::ConsoleOutput& out, Ending& ending);
void run_test(console::ConsoleInput& in, console::ConsoleOutput& out, console::Clock& clock,
              console::Appender& log, std::string_view name, std::int32_t limit,
              RandomSource& random, Problem& problem);

}  // namespace

int run_program(console::ByteSource& input, console::ByteSink& output, console::ByteSink& errors,
                console::Clock& clock, console::Appender& log) {
  Ending ending;
  {
    console::ConsoleOutput out(output);
    console::ConsoleInput in(input, &out);
    ending = run_drill(in, out, clock, log);
  }  // the console output is flushed here, before any message
  if (ending == Ending::bad_limit) {
    errors.write(kLimitMessage, sizeof kLimitMessage - 1);
    return 1;
  }
  return 0;
}

Ending run_drill(console::ConsoleInput& in, console::ConsoleOutput& out, console::Clock& clock,
                 console::Appender& log) {
  RandomSource random;
  random.seed_from_clock(clock);
  random.set_seed(static_cast<std::uint32_t>(random.next_value()));

  out << "Velmora Math Software -- version 1" << line_end << line_end;
  out << "Dedicated to Marivane" << line_end << line_end;

  // The whole word is consumed; the name keeps its first 255 bytes.
  char name[256];
  out << "What is your name? ";
  if (in.read_word(name, sizeof name) != ReadResult::ok) {
    out << line_end;
    return Ending::input_over;
  }

  Ending ending = Ending::input_over;
  std::optional<std::int32_t> limit = read_addend_limit(in, out, ending);
  if (!limit) {
    out << line_end;
    return ending;
  }

  Problem problem(0, *limit, 0, *limit, 1, random);
  for (;;) {
    run_test(in, out, clock, log, name, *limit, random, problem);
    char answer[256];
    out << "\nDo you want to go again? (y or n) ";
    if (in.read_word(answer, sizeof answer) != ReadResult::ok) {
      out << line_end;
      return Ending::input_over;
    }
    if (console::to_upper(static_cast<signed char>(answer[0])) != 'Y') return Ending::declined;
  }
}

namespace {

// Asks for the addend limit until it is not -1 (whose range would divide by
// zero). Returns nothing, with `ending` set, when input ends first or the
// text is not a number.
std::optional<std::int32_t> read_addend_limit(console::ConsoleInput& in,
                                              console::ConsoleOutput& out, Ending& ending) {
  for (;;) {
    std::int32_t limit = 0;
    out << "How big do you want the addends to be? ";
    ReadResult result = in.read_integer(limit);
    if (result == ReadResult::not_a_number) {
      ending = Ending::bad_limit;
      return std::nullopt;
    }
    if (result != ReadResult::ok) {
      ending = Ending::input_over;
      return std::nullopt;
    }
    if (limit != -1) return limit;
  }
}

// Runs one test of 20 problems and its report. Once input has ended or
// failed, the remaining problems are still shown and judged, as wrong,
// without waiting.
void run_test(console::ConsoleInput& in, console::ConsoleOutput& out, console::Clock& clock,
              console::Appender& log, std::string_view name, std::int32_t limit,
              RandomSource& random, Problem& problem) {
  TestRecord record;
  record.name = name;
  record.addend_limit = limit;
  record.problem_count = kProblemsPerTest;
  record.start_time = clock.now();
  out << "Starting time:  " << console::timestamp_text(clock, record.start_time).view() << line_end
      << line_end;
  out << "Ok, GO!!!   Good luck!!!" << line_end << line_end;

  for (std::int32_t number = 1; number <= kProblemsPerTest; ++number) {
    const bool is_sum = random.next_value() % 2 != 0;
    out << number << ".\t" << (is_sum ? problem.sum_prompt() : problem.difference_prompt());
    const std::int32_t correct = is_sum ? problem.sum() : problem.difference();
    std::int32_t answer = 0;
    if (in.read_integer(answer) == ReadResult::ok && answer == correct) {
      ++record.right_count;
      out << "That is right, " << name << "!  Now you have " << record.right_count << " out of "
          << number << line_end << line_end;
    } else {
      out << "Sorry ... the correct answer is " << correct << line_end << line_end;
    }
    problem.next();
  }

  record.end_time = clock.now();
  write_report(record, out, clock, log);
}

}  // namespace

}  // namespace drill
