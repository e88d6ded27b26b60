// The drill executable: wires the platform's standard streams, clock and
// records.txt to the drill and returns its exit status.
#include "console/system.h"
#include "drill/driver.h"

int main() {
  console::prepare_process();
  console::StandardStreams streams;
  console::SystemClock clock;
  console::FileAppender log("records.txt");
  return drill::run_program(streams.input(), streams.output(), streams.errors(), clock, log);
}
