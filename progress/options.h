// The command line of mathdrill-progress:
//
//   mathdrill-progress [--child NAME | --csv] [--html FILE] [FILE...]
//   mathdrill-progress --facts [--child NAME | --csv] [--fluent-seconds=N]
//                      [--color[=WHEN]] [FILE...]
//   mathdrill-progress --help | --version
//
// read into what to show and from where. Options may come before, between
// and after the files; "--" ends them, so a file named "--csv" can follow
// it; "-" is standard input. "--child NAME" and "--child=NAME" are the same,
// likewise for --html. run_progress reads the options, then acts on them;
// the help and the version it prints are here too.
#ifndef PROGRESS_OPTIONS_H_
#define PROGRESS_OPTIONS_H_

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace progress {

struct Options {
  enum class Output { table, child, csv };
  // --color=WHEN, as GNU tools take it: "never", "always", or "auto" (also
  // --color alone), colour only on a terminal.
  enum class Colour { never, always, automatic };

  bool help = false;
  bool version = false;
  Output output = Output::table;
  std::string child;                // the name given to --child
  std::optional<std::string> html;  // the page to write
  std::vector<std::string> files;   // "records.txt" when none are named
  bool default_files = false;       // no file was named
  bool facts = false;               // --facts: which facts the children know
  int fluent_seconds = 3;           // --fluent-seconds=N, 1 to 60
  Colour colour = Colour::automatic;
};

// What a command line asks for, or why it is wrong.
struct ParsedOptions {
  Options options;
  // The usage error without the program's name, e.g. "unrecognized option
  // '--foo'"; empty when the command line is right.
  std::string error;
};

// Reads the arguments after the program's name. On a usage error: the
// error, and default options. --help sets `help` alone, and --version
// `version` alone, whatever follows, unless an argument before is already
// wrong. --csv goes with
// neither --child nor --html; --child and --html may each be given once.
// --facts goes without --html; --fluent-seconds takes a whole number from 1
// to 60, and --color one of never, always and auto.
ParsedOptions parse_options(const std::vector<std::string>& args);

// What --help prints: the usage, every option, the exit statuses.
std::string_view usage_text();

// What --version prints: "mathdrill-progress 1.2" and a line end.
std::string version_line();

}  // namespace progress

#endif  // PROGRESS_OPTIONS_H_
