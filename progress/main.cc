// mathdrill-progress: wires the platform's files and standard streams to
// run_progress and returns its exit status.
#include <string>
#include <vector>

#include "console/file_source.h"
#include "console/system.h"
#include "progress/run_progress.h"
#include "progress/system_files.h"

int main(int argc, char** argv) {
  console::use_binary_standard_streams();
  const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  console::FdSink out(1);
  console::FdSink errors(2);
  progress::SystemFiles files;
  return progress::run_progress(args, out, errors, files, console::utf8_terminal_output());
}
