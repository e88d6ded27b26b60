// mathdrill-progress: wires the platform's files, command line and standard
// streams to run_progress and returns its exit status.
#include <cstdlib>
#include <string>
#include <vector>

#include "console/arguments.h"
#include "console/system.h"
#include "console/utf8_terminal.h"
#include "files/output_file.h"
#include "progress/log_files.h"
#include "progress/messages.h"
#include "progress/run_progress.h"

int main(int argc, char** argv) {
  console::use_binary_standard_streams();
  // A page or an output past the file-size limit is a write error, with a
  // message, not the end of the process.
  files::ignore_file_size_signal();
  progress::end_when_out_of_memory();
  const std::vector<std::string> args = console::program_arguments(argc, argv);
  console::FdSink out(1);
  console::FdSink errors(2);
  progress::SystemFiles files;
  // NO_COLOR counts when set and not empty (no-color.org).
  const char* no_color = std::getenv("NO_COLOR");
  return progress::run_progress(args, out, errors, files, console::utf8_terminal_output(),
                                console::colour_terminal_output(),
                                no_color != nullptr && no_color[0] != '\0');
}
