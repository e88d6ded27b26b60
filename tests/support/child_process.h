// Runs the built drill (or any program) as a child process for the process
// tests: through pipes or a pseudo-terminal, in a chosen folder, with a
// chosen environment, and always within a time bound, so a hang fails the
// test instead of stalling it. POSIX only; used by the tests under tests/.
#ifndef TESTS_SUPPORT_CHILD_PROCESS_H_
#define TESTS_SUPPORT_CHILD_PROCESS_H_

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace testing_support {

using Millis = std::chrono::milliseconds;

struct ChildOptions {
  std::vector<std::string> argv;  // argv[0] is the program's path
  std::string directory;          // working folder; empty: the test's own
  std::vector<std::string> env;   // extra NAME=VALUE entries, e.g. "TZ=UTC"
  bool pty = false;               // stdin and stdout on a pseudo-terminal
  bool stdout_closed = false;     // start with standard output closed
};

// How a child ended.
struct Exit {
  bool exited = false;  // ended by exit(); `status` holds the code
  int status = -1;
  int signal = 0;          // the signal that killed it, if any
  bool timed_out = false;  // still running at the deadline; then killed
};

class ChildProcess {
 public:
  explicit ChildProcess(const ChildOptions& options);
  ~ChildProcess();  // kills the child if it still runs
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Writes bytes to the child's standard input. Returns false when the
  // child no longer reads (a closed pipe).
  bool send(const std::string& bytes);
  // Closes the child's standard input: end of input. Under a pty this sends
  // the terminal's end-of-file character instead, at the start of a line.
  void close_input();

  // Reads output until `text` has appeared after what earlier waits
  // consumed, or the timeout passes. Returns whether it appeared.
  bool wait_for(const std::string& text, Millis timeout = Millis(5000));
  // Like wait_for, but returns the output it consumed: everything after what
  // earlier waits consumed, up to and including `text`; nothing on timeout.
  std::optional<std::string> read_until(const std::string& text, Millis timeout = Millis(5000));
  // The output read so far that no wait has consumed yet.
  std::string unread() const { return output_.substr(seen_); }
  // Whether the child is blocked waiting (nothing more arrives on its output
  // for `quiet`); all output read meanwhile is kept.
  void drain(Millis quiet);

  // Waits for the child to end, reading its output meanwhile; kills it at the
  // deadline.
  Exit wait(Millis timeout = Millis(10000));
  // Sends `signal` to the child.
  void kill(int signal);
  // Stops reading the child's standard output: the reader of its pipe is
  // gone, so its next write there fails.
  void close_output();

  pid_t pid() const { return pid_; }
  // Everything read from standard output (and, under a pty, the echo).
  const std::string& output() const { return output_; }
  const std::string& errors() const { return errors_; }

 private:
  bool read_some(Millis timeout);

  pid_t pid_ = -1;
  int input_fd_ = -1;
  int output_fd_ = -1;
  int error_fd_ = -1;
  bool pty_ = false;
  std::string output_;
  std::string errors_;
  std::size_t seen_ = 0;  // how much of output_ earlier wait_for calls consumed
  bool reaped_ = false;
  Exit exit_;
};

// Runs a program to its end on `input` (then end of input) and returns its
// exit; output and errors go to the given strings.
Exit run_to_end(const ChildOptions& options, const std::string& input, std::string* output,
                std::string* errors, Millis timeout = Millis(10000));

// A fresh empty folder under the system's temporary folder, removed with
// everything in it when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// The whole content of a file, or an empty string when it cannot be read.
std::string read_file(const std::string& path);
// Writes `content` to a new or truncated file.
void write_file(const std::string& path, const std::string& content);

}  // namespace testing_support

#endif  // TESTS_SUPPORT_CHILD_PROCESS_H_
