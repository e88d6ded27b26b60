// The mathdrill executable: wires the platform's standard streams, clock,
// console window and records.txt to the drill and returns its exit status.
#include "console/system.h"
#include "drill/driver.h"
#include "files/append_file.h"
#include "records/answers_format.h"
#include "records/format.h"

// The appenders take the names as C strings: both are literals, which end
// in a NUL just past the view.
static_assert(records::kRecordsFileName.data()[records::kRecordsFileName.size()] == '\0');
static_assert(records::kAnswersFileName.data()[records::kAnswersFileName.size()] == '\0');

int main(int argc, char** argv) {
  console::prepare_process();
  console::StandardStreams streams;
  console::SystemClock clock;
  files::FileAppender log(records::kRecordsFileName.data(), records::kLineEnd);
  files::FileAppender answers(records::kAnswersFileName.data(), records::kLineEnd,
                              records::kAnswersHeader);
  return drill::run_command_line(argc, argv,
                                 {.input = streams.input(),
                                  .output = streams.output(),
                                  .errors = streams.errors(),
                                  .clock = clock,
                                  .log = log,
                                  .answers = answers,
                                  .console_processes = console::console_process_count()});
}
