#include "tests/support/session.h"

#include "console/text_mode.h"
#include "drill/driver.h"
#include "records/answers_format.h"
#include "tests/support/fakes.h"

namespace testing_support {

SessionRun run_session(const SessionSetup& setup) {
  StringSource source(setup.input, setup.chunk);
  StringSink output;
  StringSink errors;
  FakeClock clock(setup.readings);
  MemoryAppender log(setup.log_refusal);
  MemoryAppender answers(setup.answers_refusal, records::kAnswersFileName, records::kAnswersHeader);
  console::TextModeSource text_source(source);
  console::TextModeSink text_output(output);
  console::TextModeSink text_errors(errors);
  const bool text = setup.text_mode;
  SessionRun run;
  // The command line as main() gets it: the program's name first.
  std::vector<const char*> arguments = {"mathdrill"};
  for (const std::string& argument : setup.arguments) arguments.push_back(argument.c_str());
  run.status = drill::run_command_line(
      static_cast<int>(arguments.size()), arguments.data(),
      {
          .input = text ? static_cast<console::ByteSource&>(text_source) : source,
          .output = text ? static_cast<console::ByteSink&>(text_output) : output,
          .errors = text ? static_cast<console::ByteSink&>(text_errors) : errors,
          .clock = clock,
          .log = log,
          .answers = answers,
          .console_processes = setup.console_processes,
      });
  run.console = output.bytes();
  run.errors = errors.bytes();
  run.log = log.contents();
  run.answers = answers.contents();
  run.clock_readings = clock.readings_taken();
  run.input_consumed = source.consumed();
  return run;
}

}  // namespace testing_support
