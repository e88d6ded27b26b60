// The drill executable: wires the platform's standard streams, clock and
// records.txt to the drill and returns its exit status.
#include "console/system.h"
#include "drill/driver.h"

int main() {
  console::prepare_process();
  console::FdSource input(0);
  console::FdSink output(1);
  console::FdSink errors(2);
  console::SystemClock clock;
  console::FileAppender log("records.txt");
  return drill::run_program(input, output, errors, clock, log);
}
