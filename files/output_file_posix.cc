// POSIX part of output_file.h: a new file beside the target (the target of
// a symbolic link), with the target's permissions, fsync, rename, and the
// folder flushed; the new file removed if the write is interrupted.
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "console/system.h"
#include "files/disk.h"
#include "files/output_file.h"

namespace files {

namespace {

std::string link_target(const std::string& path);
int create_beside(const std::string& path, std::string* created);
void keep_owner_and_mode(const std::string& path, int fd);
WriteResult failure(int error);

// The new file being written, removed by remove_and_raise() when a signal
// ends the program meanwhile: a fixed buffer, as a signal handler may not
// allocate.
char pending_file[PATH_MAX + 64];
constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP};

void remove_and_raise(int signal) {
  ::unlink(pending_file);
  ::signal(signal, SIG_DFL);
  ::raise(signal);
}

// Removes the new file when Ctrl-C, SIGTERM or SIGHUP ends the program while
// it is written; the signals' actions are as before once it is gone.
class RemovedIfInterrupted {
 public:
  explicit RemovedIfInterrupted(const std::string& temporary) {
    if (temporary.size() >= sizeof pending_file) return;
    std::memcpy(pending_file, temporary.c_str(), temporary.size() + 1);
    struct sigaction action = {};
    action.sa_handler = remove_and_raise;
    sigemptyset(&action.sa_mask);
    for (std::size_t i = 0; i < std::size(kEndingSignals); ++i) {
      // A signal that was ignored (nohup) stays ignored.
      if (::sigaction(kEndingSignals[i], nullptr, &old_[i]) == 0 && old_[i].sa_handler != SIG_IGN) {
        ::sigaction(kEndingSignals[i], &action, nullptr);
      }
    }
    armed_ = true;
  }
  ~RemovedIfInterrupted() {
    if (!armed_) return;
    for (std::size_t i = 0; i < std::size(kEndingSignals); ++i) {
      ::sigaction(kEndingSignals[i], &old_[i], nullptr);
    }
  }
  RemovedIfInterrupted(const RemovedIfInterrupted&) = delete;
  RemovedIfInterrupted& operator=(const RemovedIfInterrupted&) = delete;

 private:
  struct sigaction old_[std::size(kEndingSignals)] = {};
  bool armed_ = false;
};

}  // namespace

WriteResult write_whole_file(const std::string& path, std::string_view bytes) {
  // A link stays a link: the page is written where it leads.
  const std::string target = link_target(path);
  std::string temporary;
  const int fd = create_beside(target, &temporary);
  if (fd < 0) return failure(errno);
  const RemovedIfInterrupted removed(temporary);
  keep_owner_and_mode(target, fd);
  errno = 0;
  bool written = console::FdSink(fd).write(bytes.data(), bytes.size());
  int error = errno;
  if (written) {
    if (const int stored = store(fd); stored != 0) {
      written = false;
      error = stored;
    }
  }
  // A close error (a full disk on a network file system) means the bytes
  // may not all be there.
  if (::close(fd) != 0 && written) {
    written = false;
    error = errno;
  }
  if (written && ::rename(temporary.c_str(), target.c_str()) != 0) {
    written = false;
    error = errno;
  }
  if (written) {
    pending_file[0] = '\0';
    // The new name must survive a power cut too.
    store_folder_of(target);
    return {};
  }
  ::unlink(temporary.c_str());
  return failure(error);
}

void ignore_file_size_signal() { ::signal(SIGXFSZ, SIG_IGN); }

namespace {

// Where `path` leads when it is a symbolic link (however many links in
// turn, up to 40); `path` itself otherwise, or when a link cannot be read.
std::string link_target(const std::string& path) {
  std::string target = path;
  for (int hop = 0; hop < 40; ++hop) {
    char buffer[PATH_MAX];
    const ssize_t size = ::readlink(target.c_str(), buffer, sizeof buffer);
    if (size < 0 || static_cast<std::size_t>(size) >= sizeof buffer) return target;
    std::string next(buffer, static_cast<std::size_t>(size));
    const std::size_t slash = target.rfind('/');
    if (!next.starts_with('/') && slash != std::string::npos) {
      next = target.substr(0, slash + 1) + next;
    }
    target = std::move(next);
  }
  return target;
}

// Gives the new file the permission bits of the file it replaces, and its
// group where the user may set it, so that a page kept private stays
// private. A new page keeps what open() gave it (0666 less the umask).
void keep_owner_and_mode(const std::string& path, int fd) {
  struct stat old;
  if (::stat(path.c_str(), &old) != 0) return;
  ::fchmod(fd, old.st_mode & 07777);
  if (::fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0) {
    // Not a member of that group: the page keeps the user's group.
  }
}

// Creates a file that did not exist before, named after `path` with the
// process number and a count added ("page.html.4711-0.tmp"), so that it lies
// in the same folder and file system and the rename cannot move it across
// disks. Returns its descriptor and sets `created`, or -1 with errno set.
int create_beside(const std::string& path, std::string* created) {
  for (unsigned attempt = 0;; ++attempt) {
    *created = path + "." + std::to_string(::getpid()) + "-" + std::to_string(attempt) + ".tmp";
    const int fd = ::open(created->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || (errno != EEXIST && errno != EINTR) || attempt == 100) return fd;
  }
}

WriteResult failure(int error) {
  return {.written = false,
          .reason = error != 0 ? std::strerror(error) : "nothing could be written"};
}

}  // namespace

}  // namespace files
