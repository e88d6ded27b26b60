// The drill driver: the program's main routine and its only loop. It seeds
// the random source, greets the child, reads the name and the addend limit,
// then runs tests of 20 problems, each followed by the report, until the
// answer to the go-again question does not begin with y or Y. main() hands
// it the platform's streams, clock and results log; tests hand it in-memory
// ones.
#ifndef DRILL_DRIVER_H_
#define DRILL_DRIVER_H_

#include "console/append_file.h"
#include "console/byte_stream.h"
#include "console/clock.h"
#include "console/console_input.h"
#include "console/console_output.h"

namespace drill {

// How a run of the drill ended.
enum class Ending {
  declined,    // the go-again answer did not begin with y or Y
  input_over,  // input ended or failed where the drill could not go on
  bad_limit,   // the addend limit was text that is not a whole number
};

// Runs the whole dialogue on the given console, clock and results log.
// Ends when the user declines another test, or when input ends before the
// name, at the addend limit, or at the go-again question (a line end is
// written first), or when the addend limit is not a number (likewise).
// Answers that cannot be read count as wrong.
Ending run_drill(console::ConsoleInput& in, console::ConsoleOutput& out, console::Clock& clock,
                 console::Appender& log);

// The program: runs the drill on byte streams and returns the exit status.
// 0 when the drill ends normally or input runs out; 1, with a one-line
// message on `errors`, when the addend limit is not a whole number.
int run_program(console::ByteSource& input, console::ByteSink& output, console::ByteSink& errors,
                console::Clock& clock, console::Appender& log);

}  // namespace drill

#endif  // DRILL_DRIVER_H_
