// mathdrill-progress.exe as a process on Windows (or under Wine): its
// arguments come as UTF-16 and its files are opened by their UTF-16 names,
// so "李.txt" and "--child Zoë" work whatever the ANSI code page; the page is
// written whole, never over a log it reads, and not when nothing could be
// read; "--html -" is standard output; a file named twice is read once.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/progress_files.h"
#include "tests/support/windows_child.h"

namespace testing_support {
namespace {

const std::string kLog = "\xE6\x9D\x8E.txt";    // 李.txt
const std::string kPage = "\xE9\xA1\xB5.html";  // 页.html
const std::string kOldPage = "<!DOCTYPE html>\n<p>the page written before</p>\n</html>\n";

// PROGRESS_PATH is the build's path of mathdrill-progress.exe, made absolute
// here, since the child starts in another folder.
std::string progress_path() {
  char full[MAX_PATH + 1];
  DWORD n = ::GetFullPathNameA(PROGRESS_PATH, sizeof full, full, nullptr);
  return n > 0 && n < sizeof full ? std::string(full, n) : std::string(PROGRESS_PATH);
}

// A folder holding records.txt's tests as 李.txt, and an earlier page.
class WindowsProgressTest : public ::testing::Test {
 protected:
  WindowsProgressTest() {
    write_binary(folder_.file(kLog), testdata("records.txt"));
    write_binary(folder_.file(kPage), kOldPage);
  }

  WindowsRun run(const std::vector<std::string>& arguments) {
    WindowsRunOptions options;
    options.program = progress_path();
    options.arguments = arguments;
    options.directory = folder_.path();
    WindowsRun result = run_windows_child(options);
    EXPECT_TRUE(result.started) << options.program;
    EXPECT_FALSE(result.timed_out);
    return result;
  }

  TempFolder folder_;
};

TEST_F(WindowsProgressTest, ReadsAFileByItsNameAndFindsAChildByHers) {
  const WindowsRun table = run({kLog});
  EXPECT_EQ(table.status, 0u);
  EXPECT_EQ(table.errors, "");
  EXPECT_EQ(table.output, testdata("records_table.txt"));
  const WindowsRun child = run({"--child", "Zo\xC3\xAB", kLog});
  EXPECT_EQ(child.status, 0u);
  EXPECT_EQ(child.errors, "");
  EXPECT_TRUE(child.output.starts_with("Started ")) << child.output;
  EXPECT_NE(child.output.find("\n2026-03-07 10:31:12 "), std::string::npos) << child.output;
}

TEST_F(WindowsProgressTest, WritesThePageByItsName) {
  const WindowsRun run_result = run({"--html", kPage, kLog});
  EXPECT_EQ(run_result.status, 0u);
  EXPECT_EQ(run_result.errors, "");
  const std::string page = read_binary(folder_.file(kPage));
  EXPECT_TRUE(page.starts_with("<!DOCTYPE html>")) << page.substr(0, 100);
  EXPECT_NE(page.find("<h2>Zo\xC3\xAB (addition/subtraction)</h2>"), std::string::npos);
}

// By the same name, or by another path to the same file (its file index).
TEST_F(WindowsProgressTest, RefusesToWriteThePageOverALog) {
  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{"--html", kLog, kLog},
        std::vector<std::string>{"--html", ".\\" + kLog, kLog}}) {
    const WindowsRun result = run(arguments);
    EXPECT_EQ(result.status, 2u) << arguments[1];
    EXPECT_TRUE(result.errors.starts_with("mathdrill-progress: refusing to write the page over " +
                                          kLog + ", one of the files read\n"))
        << result.errors;
  }
  EXPECT_EQ(read_binary(folder_.file(kLog)), testdata("records.txt"));
}

TEST_F(WindowsProgressTest, KeepsThePageWhenNothingCouldBeRead) {
  const WindowsRun result = run({"--html", kPage, "missing.txt"});
  EXPECT_EQ(result.status, 1u);
  EXPECT_EQ(result.errors, "mathdrill-progress: missing.txt: No such file or directory\n");
  EXPECT_EQ(read_binary(folder_.file(kPage)), kOldPage);
}

TEST_F(WindowsProgressTest, WritesThePageToStandardOutputForADash) {
  const WindowsRun result = run({"--html", "-", kLog});
  EXPECT_EQ(result.status, 0u);
  EXPECT_TRUE(result.output.starts_with("<!DOCTYPE html>")) << result.output.substr(0, 100);
  EXPECT_FALSE(file_exists(folder_.file("-")));
}

TEST_F(WindowsProgressTest, ReadsAFileNamedTwiceOnce) {
  const WindowsRun result = run({kLog, ".\\" + kLog});
  EXPECT_EQ(result.status, 0u);
  EXPECT_EQ(result.errors,
            "mathdrill-progress: .\\" + kLog + ": the same file as " + kLog + ", read once\n");
  EXPECT_EQ(result.output, testdata("records_table.txt"));
}

}  // namespace
}  // namespace testing_support
