// The POSIX FileAppender on real files: exact bytes after what was there,
// the line end it puts between a last line without one and the block, the
// system's reason when a block cannot be stored, the appenders' lock, and a
// block cut short by the file-size limit taken back off.
#include "files/append_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/records_check.h"
#include "tests/support/transcript.h"

namespace files {
namespace {

using testing_support::read_file;
using testing_support::TempDir;
using testing_support::write_file;

// The line end the drill passes for the seam.
constexpr std::string_view kCrLf = "\r\n";

int wait_for(pid_t pid) {
  int status = 0;
  ::waitpid(pid, &status, 0);
  return status;
}

TEST(FileAppender, AppendsTheExactBytesAfterWhatWasThere) {
  TempDir dir;
  const std::string path = dir.file("records.txt");
  FileAppender appender(path.c_str(), kCrLf);
  EXPECT_EQ(appender.name(), path);
  ASSERT_TRUE(appender.append("one\r\ntwo\r\n").stored);
  EXPECT_EQ(read_file(path), "one\r\ntwo\r\n");
  const AppendResult result = appender.append("three\n\r\n");
  EXPECT_TRUE(result.stored);
  EXPECT_EQ(result.reason, "");
  EXPECT_EQ(read_file(path), "one\r\ntwo\r\nthree\n\r\n");
}

// What a file held before, and what must stand between it and the block.
struct Seam {
  const char* label;
  std::string before;
  std::string between;
};

void PrintTo(const Seam& seam, std::ostream* out) { *out << seam.label; }

class SeamTest : public ::testing::TestWithParam<Seam> {};

TEST_P(SeamTest, LastLineStaysWholeAndTheBlockStartsALine) {
  TempDir dir;
  const std::string path = dir.file("records.txt");
  write_file(path, GetParam().before);
  ASSERT_TRUE(FileAppender(path.c_str(), kCrLf).append("block\r\n").stored);
  EXPECT_EQ(read_file(path), GetParam().before + GetParam().between + "block\r\n");
}

INSTANTIATE_TEST_SUITE_P(
    Before, SeamTest,
    ::testing::Values(
        Seam{.label = "Nothing", .before = "", .between = ""},
        Seam{.label = "CrLf", .before = "a line\r\n", .between = ""},
        Seam{.label = "LfAlone", .before = "a line\n", .between = ""},
        Seam{.label = "NoLineEnd", .before = "kept, no line end", .between = "\r\n"},
        Seam{.label = "CrAlone", .before = "a line\r", .between = "\r\n"},
        Seam{.label = "OneByte", .before = "x", .between = "\r\n"},
        Seam{.label = "OneLf", .before = "\n", .between = ""},
        Seam{.label = "NulLast", .before = std::string("text\0", 5), .between = "\r\n"},
        Seam{.label = "ByteOrderMarkAlone", .before = "\xEF\xBB\xBF", .between = ""},
        Seam{.label = "ByteOrderMarkAndText", .before = "\xEF\xBB\xBFtext", .between = "\r\n"},
        Seam{.label = "ByteOrderMarkAtTheEnd", .before = "x\xEF\xBB\xBF", .between = "\r\n"},
        Seam{.label = "ByteOrderMarkCutShort", .before = "\xEF\xBB", .between = "\r\n"},
        Seam{.label = "LongerThanAPage", .before = std::string(5000, 'x'), .between = "\r\n"}),
    [](const ::testing::TestParamInfo<Seam>& info) { return std::string(info.param.label); });

// A records.txt cut after any byte of its last block (a copy cut short),
// then appended to: the bytes before stay exactly, and the new block follows
// whole on lines of its own, so that the records checker reads it back
// after them.
TEST(FileAppender, BlockAfterALogCutAnywhereIsWhole) {
  using testing_support::log_block;
  using testing_support::make_report;
  const std::string earlier = log_block(make_report("Ann", 10, 18, 1796724000, 1796724240));
  const std::string block = log_block(make_report("Bo", 7, 20, 1796725000, 1796725031));
  TempDir dir;
  const std::string path = dir.file("records.txt");
  for (std::size_t cut = 0; cut <= earlier.size(); ++cut) {
    SCOPED_TRACE("cut after " + std::to_string(cut) + " bytes");
    const std::string before = earlier.substr(0, cut);
    write_file(path, before);
    ASSERT_TRUE(FileAppender(path.c_str(), kCrLf).append(block).stored);
    const std::string after = read_file(path);
    const bool line_ended = before.empty() || before.back() == '\n';
    const std::string kept = line_ended ? before : before + "\r\n";
    EXPECT_EQ(after, kept + block);
    std::vector<testing_support::Block> blocks;
    std::string why;
    EXPECT_TRUE(testing_support::parse_records(after, &blocks, &why, kept)) << why;
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(blocks[0].text, block);
  }
}

// A file that may be written but not read: its end cannot be looked at, so
// the block goes after it as it is. Root reads every file, so under root the
// append is made by a child process that has given root up.
TEST(FileAppender, FileThatCannotBeReadGetsTheBlockAsItIs) {
  TempDir dir;
  const std::string path = dir.file("records.txt");
  write_file(path, "no line end");
  ASSERT_EQ(::chmod(path.c_str(), 0200), 0);
  const uid_t nobody = 65534;
  if (::geteuid() == 0) {
    ASSERT_EQ(::chmod(dir.path().c_str(), 0777), 0);
    ASSERT_EQ(::chown(path.c_str(), nobody, nobody), 0);
  }
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (::geteuid() == 0 && (::setgid(nobody) != 0 || ::setuid(nobody) != 0)) ::_exit(2);
    ::_exit(FileAppender(path.c_str(), kCrLf).append("block\r\n").stored ? 0 : 1);
  }
  const int status = wait_for(pid);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
  EXPECT_EQ(read_file(path), "no line endblock\r\n");
}

// A named pipe with a reader gets the block as it is, with no line end
// before it.
TEST(FileAppender, NamedPipeWithAReaderGetsTheBlock) {
  TempDir dir;
  const std::string path = dir.file("records.txt");
  ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
  const int reader = ::open(path.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  EXPECT_TRUE(FileAppender(path.c_str(), kCrLf).append("block\r\n").stored);
  char got[64];
  const ssize_t n = ::read(reader, got, sizeof got);
  ASSERT_GT(n, 0);
  EXPECT_EQ(std::string(got, static_cast<std::size_t>(n)), "block\r\n");
  // Every writer is gone again: the reader meets the end of the pipe.
  EXPECT_EQ(::read(reader, got, sizeof got), 0);
  ::close(reader);
}

TEST(FileAppender, FailureGivesTheSystemsReason) {
  TempDir dir;
  ASSERT_EQ(::mkdir(dir.file("folder").c_str(), 0755), 0);
  AppendResult on_a_folder = FileAppender(dir.file("folder").c_str(), kCrLf).append("block\r\n");
  EXPECT_FALSE(on_a_folder.stored);
  EXPECT_EQ(on_a_folder.reason, "Is a directory");
  AppendResult in_missing_folder =
      FileAppender(dir.file("missing/records.txt").c_str(), kCrLf).append("b\r\n");
  EXPECT_FALSE(in_missing_folder.stored);
  EXPECT_EQ(in_missing_folder.reason, "No such file or directory");
  AppendResult on_full_device = FileAppender("/dev/full", kCrLf).append("block\r\n");
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

TEST(FileAppender, WaitsForTheLockThatAnotherAppenderHolds) {
  TempDir dir;
  const std::string path = dir.file("records.txt");
  const pid_t holder = hold_lock(path, std::chrono::milliseconds(300));
  ASSERT_GT(holder, 0);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(FileAppender(path.c_str(), kCrLf).append("block\r\n").stored);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(200));
  wait_for(holder);
  EXPECT_EQ(read_file(path), "block\r\n");
}

TEST(FileAppender, GivesUpWhenTheLockIsHeldTooLong) {
  TempDir dir;
  const std::string path = dir.file("records.txt");
  const pid_t holder = hold_lock(path, std::chrono::milliseconds(4000));
  ASSERT_GT(holder, 0);
  const AppendResult result = FileAppender(path.c_str(), kCrLf).append("block\r\n");
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
    const AppendResult result = FileAppender(path.c_str(), kCrLf).append(block);
    ::_exit(result.stored ? 1 : result.reason == "File too large" ? 0 : 2);
  }
  const int status = wait_for(pid);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A block that does not fit is cut back to the file's size before it, so
// the bytes that were there stay exactly, and a block that fits lands right
// after them. The line end put before a block goes with it.
TEST(FileAppender, BlockCutShortIsTakenBackOff) {
  const std::string block(480, 'b');
  struct Case {
    std::string before;
    rlim_t room;       // bytes the file-size limit leaves after `before`
    std::string then;  // the file after the append
  };
  const Case cases[] = {
      {.before = "earlier\r\n", .room = 0, .then = "earlier\r\n"},
      {.before = "earlier\r\n", .room = 100, .then = "earlier\r\n"},
      {.before = "earlier\r\n", .room = 480, .then = "earlier\r\n" + block},
      {.before = "no line end", .room = 1, .then = "no line end"},
      {.before = "no line end", .room = 481, .then = "no line end"},
      {.before = "no line end", .room = 482, .then = "no line end\r\n" + block},
  };
  TempDir dir;
  const std::string path = dir.file("records.txt");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.before + " with room for " + std::to_string(c.room));
    write_file(path, c.before);
    EXPECT_EQ(append_with_room(path, block, c.room), c.then == c.before ? 0 : 1);
    EXPECT_EQ(read_file(path), c.then);
  }
}

}  // namespace
}  // namespace files
