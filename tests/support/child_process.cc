#include "tests/support/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace testing_support {

namespace {

using Clock = std::chrono::steady_clock;

[[noreturn]] void fail(const char* what) {
  throw std::runtime_error(std::string(what) + ": " + std::strerror(errno));
}

void close_fd(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

// Reads what is available on `fd` into `out`; closes it at end of file or
// on an error (a pty master reports EIO once the child has gone).
void read_available(int& fd, std::string& out) {
  char buffer[4096];
  ssize_t n = ::read(fd, buffer, sizeof buffer);
  if (n > 0) {
    out.append(buffer, static_cast<std::size_t>(n));
  } else if (n == 0 || (errno != EINTR && errno != EAGAIN)) {
    close_fd(fd);
  }
}

}  // namespace

ChildProcess::ChildProcess(const ChildOptions& options) : pty_(options.pty) {
  int in_pipe[2] = {-1, -1}, out_pipe[2] = {-1, -1}, err_pipe[2];
  int master = -1;
  std::string slave_name;
  if (pty_) {
    master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) fail("openpt");
    slave_name = ::ptsname(master);
  } else {
    if (::pipe(in_pipe) != 0 || ::pipe(out_pipe) != 0) fail("pipe");
  }
  if (::pipe(err_pipe) != 0) fail("pipe");

  std::vector<std::string> env_strings;
  for (char** e = environ; *e != nullptr; ++e) env_strings.emplace_back(*e);
  for (const std::string& extra : options.env) {
    std::string name = extra.substr(0, extra.find('=') + 1);
    std::erase_if(env_strings, [&](const std::string& s) { return s.rfind(name, 0) == 0; });
    env_strings.push_back(extra);
  }
  std::vector<char*> envp, argv;
  for (std::string& s : env_strings) envp.push_back(s.data());
  envp.push_back(nullptr);
  std::vector<std::string> args = options.argv;
  for (std::string& s : args) argv.push_back(s.data());
  argv.push_back(nullptr);

  pid_ = ::fork();
  if (pid_ < 0) fail("fork");
  if (pid_ == 0) {
    if (pty_) {
      ::setsid();
      int slave = ::open(slave_name.c_str(), O_RDWR);
      if (slave < 0) ::_exit(126);
      ::ioctl(slave, TIOCSCTTY, 0);
      ::dup2(slave, 0);
      ::dup2(slave, 1);
      if (slave > 1) ::close(slave);
      ::close(master);
    } else {
      ::dup2(in_pipe[0], 0);
      ::dup2(out_pipe[1], 1);
      ::close(in_pipe[0]);
      ::close(in_pipe[1]);
      ::close(out_pipe[0]);
      ::close(out_pipe[1]);
    }
    ::dup2(err_pipe[1], 2);
    ::close(err_pipe[0]);
    ::close(err_pipe[1]);
    if (options.stdout_closed) ::close(1);
    if (!options.directory.empty() && ::chdir(options.directory.c_str()) != 0) ::_exit(126);
    ::execve(argv[0], argv.data(), envp.data());
    ::_exit(127);
  }

  if (pty_) {
    input_fd_ = ::dup(master);
    output_fd_ = master;
  } else {
    ::close(in_pipe[0]);
    ::close(out_pipe[1]);
    input_fd_ = in_pipe[1];
    output_fd_ = out_pipe[0];
  }
  ::close(err_pipe[1]);
  error_fd_ = err_pipe[0];
  // Nothing blocks: a child busy writing output while the test feeds it
  // input must never deadlock against the test.
  ::fcntl(input_fd_, F_SETFL, O_NONBLOCK);
  ::fcntl(output_fd_, F_SETFL, O_NONBLOCK);
  ::fcntl(error_fd_, F_SETFL, O_NONBLOCK);
  // Writing to a pipe whose reader has gone must fail, not kill the test.
  ::signal(SIGPIPE, SIG_IGN);
}

ChildProcess::~ChildProcess() {
  if (!reaped_ && pid_ > 0) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
  close_fd(input_fd_);
  close_fd(output_fd_);
  close_fd(error_fd_);
}

bool ChildProcess::send(const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    if (input_fd_ < 0) return false;
    ssize_t n = ::write(input_fd_, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      if (errno == EAGAIN) {
        read_some(Millis(10));
        continue;
      }
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

void ChildProcess::close_input() {
  if (pty_) {
    struct termios modes;
    char eof = 4;
    if (::tcgetattr(output_fd_, &modes) == 0) eof = static_cast<char>(modes.c_cc[VEOF]);
    send(std::string(1, eof));
    return;
  }
  close_fd(input_fd_);
}

void ChildProcess::close_output() { close_fd(output_fd_); }

bool ChildProcess::wait_for(const std::string& text, Millis timeout) {
  auto deadline = Clock::now() + timeout;
  for (;;) {
    std::size_t at = output_.find(text, seen_);
    if (at != std::string::npos) {
      seen_ = at + text.size();
      return true;
    }
    auto left = std::chrono::duration_cast<Millis>(deadline - Clock::now());
    if (left.count() <= 0 || !read_some(left)) return false;
  }
}

std::optional<std::string> ChildProcess::read_until(const std::string& text, Millis timeout) {
  const std::size_t from = seen_;
  if (!wait_for(text, timeout)) return std::nullopt;
  return output_.substr(from, seen_ - from);
}

void ChildProcess::drain(Millis quiet) {
  while (read_some(quiet)) {
  }
}

// Waits up to `timeout` for output and reads what came. Returns false when
// nothing came in that time or both output streams are closed.
bool ChildProcess::read_some(Millis timeout) {
  struct pollfd fds[2];
  int count = 0;
  if (output_fd_ >= 0) fds[count++] = {output_fd_, POLLIN, 0};
  if (error_fd_ >= 0) fds[count++] = {error_fd_, POLLIN, 0};
  if (count == 0) return false;
  int ready = ::poll(fds, static_cast<nfds_t>(count), static_cast<int>(timeout.count()));
  if (ready <= 0) return false;
  for (int i = 0; i < count; ++i) {
    if (fds[i].revents == 0) continue;
    if (fds[i].fd == output_fd_) {
      read_available(output_fd_, output_);
    } else {
      read_available(error_fd_, errors_);
    }
  }
  return true;
}

Exit ChildProcess::wait(Millis timeout) {
  if (reaped_) return exit_;
  auto deadline = Clock::now() + timeout;
  int status = 0;
  for (;;) {
    pid_t done = ::waitpid(pid_, &status, WNOHANG);
    if (done == pid_) break;
    if (Clock::now() >= deadline) {
      exit_.timed_out = true;
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, &status, 0);
      break;
    }
    if (!read_some(Millis(20))) ::usleep(1000);
  }
  reaped_ = true;
  // Collect what the child wrote before it ended.
  while (read_some(Millis(50))) {
  }
  if (WIFEXITED(status)) {
    exit_.exited = true;
    exit_.status = WEXITSTATUS(status);
  } else if (WIFSIGNALED(status)) {
    exit_.signal = WTERMSIG(status);
  }
  return exit_;
}

void ChildProcess::kill(int signal) {
  if (!reaped_) ::kill(pid_, signal);
}

Exit run_to_end(const ChildOptions& options, const std::string& input, std::string* output,
                std::string* errors, Millis timeout) {
  ChildProcess child(options);
  child.send(input);
  child.close_input();
  Exit exit = child.wait(timeout);
  if (output != nullptr) *output = child.output();
  if (errors != nullptr) *errors = child.errors();
  return exit;
}

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "mathdrill-test-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) fail("mkdtemp");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  // A test may have left a folder without write permission behind.
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(path_, ignored);
}

std::string read_file(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream content;
  content << file.rdbuf();
  return content.str();
}

void write_file(const std::string& path, const std::string& content) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << content;
}

}  // namespace testing_support
