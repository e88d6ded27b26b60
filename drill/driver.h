// The drill driver: the program's main routine and its only loop. It seeds
// the random source, greets the child, reads the name and the addend limit,
// then runs tests of 20 problems, each followed by the report, until the
// answer to the go-again question does not begin with y or Y. main() hands
// it the platform's streams, clock and results log; tests hand it in-memory
// ones.
#ifndef DRILL_DRIVER_H_
#define DRILL_DRIVER_H_

#include "console/byte_stream.h"
#include "console/clock.h"
#include "files/append_file.h"
#include "records/operations.h"

namespace drill {

// Everything the drill talks to.
struct Surroundings {
  console::ByteSource& input;  // what the child types
  console::ByteSink& output;   // the console dialogue
  console::ByteSink& errors;   // messages that are not part of the dialogue
  console::Clock& clock;       // seeds the random source and times each test
  files::Appender& log;        // the results log, records.txt
  files::Appender& answers;    // every answer of every finished test, answers.csv
  unsigned console_processes;  // processes sharing the console window (Windows), else 0
  // The kinds of problem that the tests hold.
  records::Operations operations = records::Operations::mixed_addition_subtraction();
};

// Reads the command line (options.h) and acts on it: prints the help or the
// version on `output` and returns 0; refuses a wrong command line with its
// message on `errors` and returns 2, before anything is shown or stored;
// otherwise runs the whole dialogue with the chosen operations and returns
// its exit status:
// - 0 when the child declines another test, or when input ends at any
//   question (a line end is written after the pending prompt). Input that
//   ends during a test abandons it: no report, no block in the log.
// - 1 when the addend limit or an answer is not a whole number: a line end
//   after the pending prompt, then one message on `errors` that quotes the
//   text; an abandoned test is not recorded. Where the drill is the one
//   process on its console window (console_processes is 1: started by a
//   double-click on Windows, the window closes as soon as the drill ends),
//   it then asks on `errors` for Enter and waits for a line end or the end
//   of input.
// Tests finished before keep their blocks. A block that cannot be stored is
// reported on `errors` with the system's reason, and the drill goes on. A
// finished test's answers go to `answers` after its block, whether the block
// could be stored or not; answers that cannot be stored are reported on
// `errors` in one line, and the drill goes on.
int run_command_line(int argc, const char* const* argv, Surroundings surroundings);

}  // namespace drill

#endif  // DRILL_DRIVER_H_
