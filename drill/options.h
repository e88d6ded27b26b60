// The drill's command line: `mathdrill [-o OPS | --operations OPS |
// --operations=OPS]`, `mathdrill --help` and `mathdrill --version`. main()
// reads it before anything is shown or stored, and either runs the drill
// with the chosen operations, prints the help or the version, or ends with
// a message.
#ifndef DRILL_OPTIONS_H_
#define DRILL_OPTIONS_H_

#include <string_view>

#include "records/operations.h"
#include "text/text_buffer.h"

namespace drill {

// The head of every message the drill writes on standard error.
inline constexpr std::string_view kMessageHead = "mathdrill: ";

// What the command line asks for.
struct Command {
  enum class Action { run, help, version, refuse };
  Action action = Action::run;
  // The kinds of problem, for `run`: addition and subtraction unless named.
  records::Operations operations = records::Operations::mixed_addition_subtraction();
  // For `refuse`: the lines for standard error, naming what is wrong and
  // ending with the pointer to --help. Quoted arguments are made printable.
  text::TextBuffer<1024> message;
};

// Reads the arguments after the program's name, left to right. --help and
// --version act where they stand; `-o` may be given again, and the last one
// counts; `--` ends the options. Refuses a missing or empty OPS, a sign that
// is none of + - x / *, an operation named twice, an unknown option and any
// operand.
Command read_command_line(int argc, const char* const* argv);

// The text of --help and of --version, each ending in a newline.
std::string_view help_text();
std::string_view version_text();

}  // namespace drill

#endif  // DRILL_OPTIONS_H_
