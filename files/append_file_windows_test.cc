// The Windows FileAppender on real files: exact bytes, appends beside other
// programs and other appenders, the appenders' lock, and the system's reason
// when a block cannot be stored.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <thread>
#include <vector>

#include "files/append_file.h"
#include "tests/support/windows_child.h"

namespace files {
namespace {

using testing_support::read_binary;
using testing_support::TempFolder;
using testing_support::write_binary;

// The line end the drill passes for the seam.
constexpr std::string_view kCrLf = "\r\n";

// The block's bytes go to the file as they are: its CR LF stays CR LF (no C
// runtime text mode adds a second CR), after what the file held before.
TEST(WindowsFileAppender, AppendsTheExactBytes) {
  TempFolder folder;
  const std::string path = folder.file("records.txt");
  FileAppender appender(path.c_str(), kCrLf);
  ASSERT_TRUE(appender.append("one\r\ntwo\r\n").stored);
  EXPECT_EQ(read_binary(path), "one\r\ntwo\r\n");
  ASSERT_TRUE(appender.append("three\n\r\n").stored);
  EXPECT_EQ(read_binary(path), "one\r\ntwo\r\nthree\n\r\n");

  write_binary(path, "kept\r\n");
  ASSERT_TRUE(appender.append("more\r\n").stored);
  EXPECT_EQ(read_binary(path), "kept\r\nmore\r\n");
}

// A last line without its line end gets one before the block, so that it
// stays whole and the block starts a line of its own; a file that is only a
// byte-order mark (an empty file saved by a Windows editor) gets none.
TEST(WindowsFileAppender, LastLineWithoutLineEndIsEndedFirst) {
  struct Case {
    std::string before;
    std::string between;
  };
  const Case cases[] = {
      {.before = "", .between = ""},
      {.before = "a line\r\n", .between = ""},
      {.before = "cut short", .between = "\r\n"},
      {.before = "x", .between = "\r\n"},
      {.before = "\xEF\xBB\xBF", .between = ""},
      {.before = "\xEF\xBB\xBFtext", .between = "\r\n"},
  };
  TempFolder folder;
  const std::string path = folder.file("records.txt");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.before);
    write_binary(path, c.before);
    ASSERT_TRUE(FileAppender(path.c_str(), kCrLf).append("block\r\n").stored);
    EXPECT_EQ(read_binary(path), c.before + c.between + "block\r\n");
  }
}

// Another program holding records.txt open for reading and writing (a text
// editor, another drill) does not stop the append, and the append lands at
// the end even though that program's position is at the start.
TEST(WindowsFileAppender, AppendsWhileTheFileIsOpenElsewhere) {
  TempFolder folder;
  const std::string path = folder.file("records.txt");
  write_binary(path, "before\r\n");
  HANDLE other =
      ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(other, INVALID_HANDLE_VALUE);
  FileAppender appender(path.c_str(), kCrLf);
  EXPECT_TRUE(appender.append("block\r\n").stored);
  ::CloseHandle(other);
  EXPECT_EQ(read_binary(path), "before\r\nblock\r\n");
}

// Appenders lock the byte at 0x7fffffff00000000 while they write. One that
// holds it for a moment delays the others; one that holds it for ever
// (stopped in a debugger) makes them give up after about two seconds and
// say so, without writing.
TEST(WindowsFileAppender, HeldLockDelaysTheAppendThenStopsIt) {
  TempFolder folder;
  const std::string path = folder.file("records.txt");
  HANDLE other = ::CreateFileA(path.c_str(), FILE_APPEND_DATA | FILE_READ_DATA,
                               FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(other, INVALID_HANDLE_VALUE);
  OVERLAPPED lock = {};
  lock.OffsetHigh = 0x7fffffff;
  ASSERT_TRUE(::LockFileEx(other, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &lock));
  const ULONGLONG start = ::GetTickCount64();
  const AppendResult refused = FileAppender(path.c_str(), kCrLf).append("block\r\n");
  EXPECT_FALSE(refused.stored);
  EXPECT_EQ(refused.reason, "locked by another program for too long");
  EXPECT_GE(::GetTickCount64() - start, 1000u);
  EXPECT_EQ(read_binary(path), "");

  std::thread release([&] {
    ::Sleep(300);
    ::UnlockFileEx(other, 0, 1, 0, &lock);
  });
  EXPECT_TRUE(FileAppender(path.c_str(), kCrLf).append("block\r\n").stored);
  release.join();
  ::CloseHandle(other);
  EXPECT_EQ(read_binary(path), "block\r\n");
}

TEST(WindowsFileAppender, FailsWhereNoFileCanBeMade) {
  TempFolder folder;
  const std::string missing_path = folder.file("missing\\records.txt");
  FileAppender in_missing_folder(missing_path.c_str(), kCrLf);
  const AppendResult missing = in_missing_folder.append("block\r\n");
  EXPECT_FALSE(missing.stored);
  EXPECT_FALSE(missing.reason.empty());
  FileAppender on_a_folder(folder.path().c_str(), kCrLf);
  const AppendResult folder_result = on_a_folder.append("block\r\n");
  EXPECT_FALSE(folder_result.stored);
  // The system's own words: "Access is denied" on Windows, "Access denied"
  // under Wine.
  EXPECT_NE(folder_result.reason.find("denied"), std::string_view::npos) << folder_result.reason;
  EXPECT_FALSE(testing_support::file_exists(folder.file("missing")));
}

// Appenders in several threads at once, as several drills in one folder:
// every block lands whole, none overwrites another.
TEST(WindowsFileAppender, ConcurrentAppendsStayWhole) {
  TempFolder folder;
  const std::string path = folder.file("records.txt");
  constexpr int kWriters = 4;
  constexpr int kBlocks = 50;
  std::vector<std::thread> writers;
  for (int w = 0; w < kWriters; ++w) {
    writers.emplace_back([&path, w] {
      FileAppender appender(path.c_str(), kCrLf);
      // Blocks of differing lengths, so an overlap shows as a broken line.
      for (int b = 0; b < kBlocks; ++b) {
        std::string block =
            "<" + std::to_string(w) + std::string(50 + 7 * b + w, 'a' + w) + ">\r\n";
        appender.append(block);
      }
    });
  }
  for (std::thread& writer : writers) writer.join();

  const std::string log = read_binary(path);
  std::vector<int> seen(kWriters, 0);
  std::size_t at = 0;
  while (at < log.size()) {
    std::size_t end = log.find(">\r\n", at);
    ASSERT_NE(end, std::string::npos) << "broken tail at " << at;
    ASSERT_EQ(log[at], '<');
    const int w = log[at + 1] - '0';
    ASSERT_TRUE(w >= 0 && w < kWriters) << "at " << at;
    const std::size_t length = end - at - 2;
    EXPECT_EQ(length, static_cast<std::size_t>(50 + 7 * seen[w] + w)) << "writer " << w;
    EXPECT_EQ(log.substr(at + 2, length), std::string(length, static_cast<char>('a' + w)));
    ++seen[w];
    at = end + 3;
  }
  for (int w = 0; w < kWriters; ++w) EXPECT_EQ(seen[w], kBlocks) << "writer " << w;
}

}  // namespace
}  // namespace files
