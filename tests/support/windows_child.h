// Runs a program (mathdrill.exe) as a child process on Windows for the Windows
// tests: its standard input, output and error on pipes, in a chosen folder,
// always within a time bound, so a hang fails the test instead of stalling
// it. Also a temporary folder and whole-file reads and writes, all in binary
// mode so that the tests see the exact bytes. Names and arguments are UTF-8,
// passed to the system in UTF-16, so that "李.txt" and "Zoë" arrive whole.
// The Windows counterpart of child_process.h; runs under Wine as well.
#ifndef TESTS_SUPPORT_WINDOWS_CHILD_H_
#define TESTS_SUPPORT_WINDOWS_CHILD_H_

#include <string>
#include <vector>

namespace testing_support {

struct WindowsRunOptions {
  std::string program;                 // the program's path
  std::vector<std::string> arguments;  // after the program's name
  std::string directory;               // working folder; empty: the test's own
  std::string input;                   // written to standard input, which then closes
  bool output_unread = false;          // close the reading end of standard output at
                                       // once, so every write to it fails
  unsigned long timeout_ms = 30000;
};

struct WindowsRun {
  bool started = false;    // false when the process could not be created
  bool timed_out = false;  // still running at the deadline; then terminated
  unsigned long status = 0;
  std::string output;
  std::string errors;
};

// Runs the program to its end (or to the deadline, when it is killed).
// Failures to set up pipes or the process show as `started` false.
WindowsRun run_windows_child(const WindowsRunOptions& options);

// A fresh empty folder under the system's temporary folder, removed with the
// files in it when the object goes (sub-folders are not expected).
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "\\" + name; }

 private:
  std::string path_;
};

// Whether a file or folder of that path exists.
bool file_exists(const std::string& path);
// The whole content of a file; empty when it cannot be opened.
std::string read_binary(const std::string& path);
// Writes `content` to a new or truncated file, byte for byte.
void write_binary(const std::string& path, const std::string& content);

}  // namespace testing_support

#endif  // TESTS_SUPPORT_WINDOWS_CHILD_H_
