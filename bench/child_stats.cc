// The benchmark's process helper (bench/run.sh): runs a program with its
// standard input taken from a file and reports what the benchmark needs that
// the shell cannot give without GNU time.
//
//   child_stats rss INPUT PROGRAM [ARG...]
//     Runs PROGRAM as a child, standard input from INPUT, standard output and
//     error to /dev/null, and prints the child's peak resident set size in
//     KiB (wait4's ru_maxrss) on one line. The child is killed after 600
//     seconds. Exit status 0 when the child exited with status 0 or 1, else 2
//     with a message on standard error.
//
//   child_stats time RUNS INPUT PROGRAM_A PROGRAM_B
//     Starts each program RUNS times, alternating, after RUNS / 10 + 1
//     warm-up runs of each, every run with standard input from INPUT and
//     output to /dev/null, and prints the median wall time of one run of A
//     and of B in microseconds: "A B". A run is timed from before fork() to
//     after wait4(), as hyperfine times a command it starts without a shell;
//     this does the same for programs that must read a file on standard
//     input. Exit status 2 with a message when a run fails as under rss.
//
// INPUT "-" keeps this program's standard input (for rss: a pipe). The
// helper is linked statically and holds little memory, so what it hands on
// through fork(), which ru_maxrss also counts, stays far below the peak of
// any dynamically linked program it measures.
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr unsigned kTimeLimitSeconds = 600;

// How one run of a child ended, and what it used.
struct Run {
  bool ok = false;
  long peak_rss_kib = 0;
  double seconds = 0;
};

int usage();
int run_for_peak_rss(const char* input, char* const* argv);
int time_two(const char* runs_text, const char* input, char* program_a, char* program_b);
Run run_child(const char* input, char* const* argv);
double median(std::vector<double> values);
[[noreturn]] void exec_with_input(const char* input, char* const* argv);
bool redirect(const char* path, int fd, int flags);
double now_seconds();
void on_alarm(int);

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 4 && std::strcmp(argv[1], "rss") == 0) return run_for_peak_rss(argv[2], argv + 3);
  if (argc == 6 && std::strcmp(argv[1], "time") == 0) {
    return time_two(argv[2], argv[3], argv[4], argv[5]);
  }
  return usage();
}

namespace {

int usage() {
  std::fputs(
      "usage: child_stats rss INPUT PROGRAM [ARG...]\n"
      "       child_stats time RUNS INPUT PROGRAM_A PROGRAM_B\n",
      stderr);
  return 2;
}

// Runs the child once and prints its peak resident set size in KiB. Returns
// 2 when the run fails (see run_child).
int run_for_peak_rss(const char* input, char* const* argv) {
  Run run = run_child(input, argv);
  if (!run.ok) return 2;
  std::printf("%ld\n", run.peak_rss_kib);
  return 0;
}

// Times both programs in alternation and prints their median run times in
// microseconds. Returns 2 when RUNS is not a positive number or a run fails.
int time_two(const char* runs_text, const char* input, char* program_a, char* program_b) {
  const long runs = std::strtol(runs_text, nullptr, 10);
  if (runs <= 0) return usage();
  char* argv_a[] = {program_a, nullptr};
  char* argv_b[] = {program_b, nullptr};
  std::vector<double> times_a;
  std::vector<double> times_b;
  for (long i = -(runs / 10 + 1); i < runs; ++i) {
    // Alternating which goes first keeps a drift in the machine's load from
    // favouring either.
    bool a_first = i % 2 == 0;
    Run first = run_child(input, a_first ? argv_a : argv_b);
    Run second = run_child(input, a_first ? argv_b : argv_a);
    if (!first.ok || !second.ok) return 2;
    if (i < 0) continue;
    times_a.push_back(a_first ? first.seconds : second.seconds);
    times_b.push_back(a_first ? second.seconds : first.seconds);
  }
  std::printf("%.0f %.0f\n", median(times_a) * 1e6, median(times_b) * 1e6);
  return 0;
}

// Runs the program as a child, standard input from `input`, output and
// errors to /dev/null, and waits for it. Not ok, after a message, when it
// cannot be started, still runs after the time limit (it is then killed), is
// killed by a signal or exits with a status above 1 (the drill's own
// statuses are 0 and 1).
Run run_child(const char* input, char* const* argv) {
  Run run;
  const double start = now_seconds();
  pid_t child = fork();
  if (child < 0) {
    std::perror("child_stats: fork");
    return run;
  }
  if (child == 0) exec_with_input(input, argv);

  struct sigaction action {};
  action.sa_handler = on_alarm;  // no SA_RESTART: the alarm interrupts wait4
  sigaction(SIGALRM, &action, nullptr);
  alarm(kTimeLimitSeconds);
  int status = 0;
  struct rusage usage {};
  pid_t ended = wait4(child, &status, 0, &usage);
  if (ended < 0 && errno == EINTR) {
    kill(child, SIGKILL);
    wait4(child, &status, 0, &usage);
    std::fprintf(stderr, "child_stats: %s still ran after %u s; killed\n", argv[0],
                 kTimeLimitSeconds);
    return run;
  }
  alarm(0);
  run.seconds = now_seconds() - start;
  if (ended < 0) {
    std::perror("child_stats: wait4");
    return run;
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) > 1) {
    std::fprintf(stderr, "child_stats: %s failed (wait status %d)\n", argv[0], status);
    return run;
  }
  run.ok = true;
  run.peak_rss_kib = usage.ru_maxrss;
  return run;
}

// The middle value, or the mean of the two middle values. Not called with
// an empty vector.
double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 != 0 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// In the child: standard input from `input` ("-" keeps it), output and
// errors to /dev/null, then the program. Never returns: exits with status
// 2, after a message, when the input cannot be opened, or 127 when the
// program cannot be started.
void exec_with_input(const char* input, char* const* argv) {
  if (std::strcmp(input, "-") != 0 && !redirect(input, 0, O_RDONLY)) _exit(2);
  if (!redirect("/dev/null", 1, O_WRONLY) || !redirect("/dev/null", 2, O_WRONLY)) _exit(2);
  execv(argv[0], argv);
  _exit(127);
}

// Opens `path` on descriptor `fd`. Returns false, after a message, when it
// cannot be opened.
bool redirect(const char* path, int fd, int flags) {
  int opened = open(path, flags);
  if (opened < 0 || (opened != fd && dup2(opened, fd) < 0)) {
    std::fprintf(stderr, "child_stats: cannot open %s: %s\n", path, std::strerror(errno));
    return false;
  }
  if (opened != fd) close(opened);
  return true;
}

// Monotonic clock reading in seconds.
double now_seconds() {
  struct timespec now {};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Does nothing: its only job is to interrupt wait4.
void on_alarm(int) {}

}  // namespace
