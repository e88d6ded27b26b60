// A reference for the benchmark (bench/run.sh): a program that does nothing
// but what every drill session has to do through the C library to show a
// timestamp: read the clock once and break it down into local time by the
// platform's time-zone rules (which, for TZ=UTC, reads the zone file). Its
// cost over /bin/true is the part of the drill's cost that no change to the
// drill can remove. Exits with status 1 when the clock or the time zone
// cannot be read.
#include <time.h>

int main() {
  time_t now = time(nullptr);
  struct tm fields;
  return now != static_cast<time_t>(-1) && localtime_r(&now, &fields) != nullptr ? 0 : 1;
}
