// The POSIX FileAppender on real files: exact bytes after what was there,
// the system's reason when a block cannot be stored, the appenders' lock,
// and a block cut short by the file-size limit taken back off.
#include "console/append_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>

#include "tests/support/child_process.h"

namespace console {
namespace {

using testing_support::read_file;
using testing_support::TempDir;
using testing_support::write_file;

TEST(FileAppender, AppendsTheExactBytesAfterWhatWasThere) {
  TempDir dir;
  const std::string path = dir.file("records.txt");
  FileAppender appender(path);
  EXPECT_EQ(appender.name(), path);
  ASSERT_TRUE(appender.append("one\r\ntwo\r\n").stored);
  EXPECT_EQ(read_file(path), "one\r\ntwo\r\n");
  write_file(path, "kept, no line end");
  const AppendResult result = appender.append("block\r\n");
  EXPECT_TRUE(result.stored);
  EXPECT_EQ(result.reason, "");
  EXPECT_EQ(read_file(path), "kept, no line endblock\r\n");
}

TEST(FileAppender, FailureGivesTheSystemsReason) {
  TempDir dir;
  ASSERT_EQ(::mkdir(dir.file("folder").c_str(), 0755), 0);
  AppendResult on_a_folder = FileAppender(dir.file("folder")).append("block\r\n");
  EXPECT_FALSE(on_a_folder.stored);
  EXPECT_EQ(on_a_folder.reason, "Is a directory");
  AppendResult in_missing_folder = FileAppender(dir.file("missing/records.txt")).append("b\r\n");
  EXPECT_FALSE(in_missing_folder.stored);
  EXPECT_EQ(in_missing_folder.reason, "No such file or directory");
  AppendResult on_full_device = FileAppender("/dev/full").append("block\r\n");
  EXPECT_FALSE(on_full_device.stored);
  EXPECT_EQ(on_full_device.reason, "No space left on device");
}

// Another process holds the appenders' lock (an fcntl write lock on the
// whole file) for `hold`, then lets go. Returns its pid once it holds it.
pid_t hold_lock(const std::string& path, std::chrono::milliseconds hold) {
  int ready[2];
  if (::pipe(ready) != 0) return -1;
  const pid_t pid = ::fork();
  if (pid == 0) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT, 0666);
    struct flock whole = {};
    whole.l_type = F_WRLCK;
    whole.l_whence = SEEK_SET;
    if (fd < 0 || ::fcntl(fd, F_SETLK, &whole) != 0) ::_exit(1);
    (void)!::write(ready[1], "x", 1);
    ::usleep(static_cast<useconds_t>(hold.count() * 1000));
    ::_exit(0);
  }
  ::close(ready[1]);
  char c = 0;
  const bool held = ::read(ready[0], &c, 1) == 1;
  ::close(ready[0]);
  return held ? pid : -1;
}

int wait_for(pid_t pid) {
  int status = 0;
  ::waitpid(pid, &status, 0);
  return status;
}

TEST(FileAppender, WaitsForTheLockThatAnotherAppenderHolds) {
  TempDir dir;
  const std::string path = dir.file("records.txt");
  const pid_t holder = hold_lock(path, std::chrono::milliseconds(300));
  ASSERT_GT(holder, 0);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(FileAppender(path).append("block\r\n").stored);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(200));
  wait_for(holder);
  EXPECT_EQ(read_file(path), "block\r\n");
}

TEST(FileAppender, GivesUpWhenTheLockIsHeldTooLong) {
  TempDir dir;
  const std::string path = dir.file("records.txt");
  const pid_t holder = hold_lock(path, std::chrono::milliseconds(4000));
  ASSERT_GT(holder, 0);
  const AppendResult result = FileAppender(path).append("block\r\n");
  EXPECT_FALSE(result.stored);
  EXPECT_EQ(result.reason, "locked by another program for too long");
  ::kill(holder, SIGKILL);
  wait_for(holder);
  EXPECT_EQ(read_file(path), "");
}

// Appends `block` in a child process whose file-size limit leaves `room`
// bytes after the file's present size. Returns the child's exit status: 0
// when the append failed with "File too large", 1 when it was stored, 2
// otherwise.
int append_with_room(const std::string& path, const std::string& block, rlim_t room) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = {static_cast<rlim_t>(read_file(path).size()) + room, RLIM_INFINITY};
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(3);
    const AppendResult result = FileAppender(path).append(block);
    ::_exit(result.stored ? 1 : result.reason == "File too large" ? 0 : 2);
  }
  const int status = wait_for(pid);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A block that does not fit is cut back to the file's size before it, so
// the bytes that were there stay exactly, and the next block that fits lands
// right after them.
TEST(FileAppender, BlockCutShortIsTakenBackOff) {
  TempDir dir;
  const std::string path = dir.file("records.txt");
  write_file(path, "earlier\r\n");
  const std::string block(480, 'b');
  EXPECT_EQ(append_with_room(path, block, 100), 0);
  EXPECT_EQ(read_file(path), "earlier\r\n");
  EXPECT_EQ(append_with_room(path, block, 0), 0);
  EXPECT_EQ(read_file(path), "earlier\r\n");
  EXPECT_EQ(append_with_room(path, block, 480), 1);
  EXPECT_EQ(read_file(path), "earlier\r\n" + block);
}

}  // namespace
}  // namespace console
