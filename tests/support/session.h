// Runs whole drill sessions in-process, on given typed bytes at given clock
// readings, with the in-memory doubles of fakes.h, and returns everything
// the drill wrote. Used by the session tests and the fuzz targets.
#ifndef TESTS_SUPPORT_SESSION_H_
#define TESTS_SUPPORT_SESSION_H_

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "console/clock.h"

namespace testing_support {

struct SessionSetup {
  std::string_view input = {};  // what the child types
  // The clock's readings: the first seeds the random source, then each test
  // reads its start and its end time; the last one repeats.
  std::vector<std::optional<console::CalendarTime>> readings = {};
  std::size_t chunk = 4096;  // the most bytes one read of the input returns
  // When not empty, the log refuses every block with this reason.
  std::string_view log_refusal = {};
  // When not empty, answers.csv refuses every test's answers with this reason.
  std::string_view answers_refusal = {};
  bool text_mode = false;                   // CR LF console streams, as on Windows
  unsigned console_processes = 0;           // processes sharing the console window
  std::vector<std::string> arguments = {};  // after the program's name, e.g. {"-o", "x/"}
};

struct SessionRun {
  int status = 0;
  std::string console;             // standard output
  std::string errors;              // standard error
  std::string log;                 // what records.txt received
  std::string answers;             // what answers.csv received
  std::size_t clock_readings = 0;  // how many times the drill read the clock
  std::size_t input_consumed = 0;  // how many typed bytes the drill read
};

// Runs the drill's program on `setup`. Nothing can fail.
SessionRun run_session(const SessionSetup& setup);

}  // namespace testing_support

#endif  // TESTS_SUPPORT_SESSION_H_
