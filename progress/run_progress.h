// mathdrill-progress as a function: reads the options and the results logs,
// writes the chosen output and the messages, and returns the exit status.
// main() calls it with the platform's files and standard streams; tests call
// it in-process with files in memory. All of the program's errors end here,
// as messages on the error sink and the exit status:
//   0  every named file was read (skipped text included);
//   1  a file could not be opened or read to its end (the others are still
//      read), the page could not be written, or standard output failed;
//   2  a usage error, or a page that would replace a file read or a file
//      that is not a page (then nothing is read).
// Every file that had text skipped gets one message, naming the count of
// tests read and of skipped stretches and the lines of the first five of
// them; a file with nothing skipped gets none. A file named twice (by the
// same name, or by two names of one file) is read once, with a note. The
// page is written only when something was read, and whole or not at all
// (Files::write); "-" as the page is standard output, in place of the
// table. File names in messages show control and bidirectional formatting
// characters as '?'.
#ifndef PROGRESS_RUN_PROGRESS_H_
#define PROGRESS_RUN_PROGRESS_H_

#include <string>
#include <vector>

#include "console/byte_stream.h"
#include "progress/log_files.h"

namespace progress {

// Runs the program on `args` (the arguments after its name), writing its
// output to `out` and its messages to `errors`. `utf8_output` tells whether
// `out` shows UTF-8 (the trend line's block characters), `colour_terminal`
// whether it is a terminal that shows colours (--color=auto), and
// `no_color` whether NO_COLOR is set, which turns colour off whatever
// --color says. Returns the exit status.
int run_progress(const std::vector<std::string>& args, console::ByteSink& out,
                 console::ByteSink& errors, Files& files, bool utf8_output,
                 bool colour_terminal = false, bool no_color = false);

}  // namespace progress

#endif  // PROGRESS_RUN_PROGRESS_H_
