// mathdrill-progress as a process, as a parent or a teacher runs it, in a
// folder of its own: the page is written whole or not at all, never over a
// log it reads nor over a file that is not a page, and not when nothing
// could be read; "--html -" is standard output; under a file-size limit or
// on a full disk it says so and exits 1, leaving the old page; a file named
// twice is read once; file names in its messages cannot drive the
// terminal; answers files are told by their first line, answers.csv is read
// beside records.txt, and the grids are coloured only where asked.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "tests/support/answers_lines.h"
#include "tests/support/child_process.h"
#include "tests/support/progress_files.h"

namespace testing_support {
namespace {

const std::string kOldPage = "<!DOCTYPE html>\n<p>the page written before</p>\n";

// What a run of mathdrill-progress gave.
struct ProgressRun {
  Exit exit;
  std::string out;
  std::string errors;
};

// A folder holding records.txt and a page written before, for
// mathdrill-progress to run in.
class ProgressProcessTest : public ::testing::Test {
 protected:
  ProgressProcessTest() {
    write_file(dir_.file("records.txt"), testdata("records.txt"));
    write_file(dir_.file("page.html"), kOldPage);
  }

  ChildOptions options(const std::vector<std::string>& args) const {
    ChildOptions child;
    child.argv = {PROGRESS_PATH};
    child.argv.insert(child.argv.end(), args.begin(), args.end());
    child.directory = dir_.path();
    return child;
  }

  ProgressRun run(const std::vector<std::string>& args) const { return run_with(options(args)); }

  ProgressRun run_with(const ChildOptions& child) const {
    ProgressRun result;
    result.exit = run_to_end(child, "", &result.out, &result.errors);
    return result;
  }

  // The names of the files in the folder.
  std::set<std::string> files() const {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) {
      names.insert(entry.path().filename().string());
    }
    return names;
  }

  TempDir dir_;
};

void expect_exit(const Exit& exit, int status) {
  EXPECT_TRUE(exit.exited) << "signal " << exit.signal;
  EXPECT_EQ(exit.status, status);
}

// The page would replace the log it reads (by the same name, another path
// or a link), or a log named where the page's name was forgotten: refused
// before anything is read, and every file stays as it was.
TEST_F(ProgressProcessTest, RefusesToWriteThePageOverALog) {
  struct RefusalCase {
    std::vector<std::string> args = {};
    const char* error = "";
  };
  write_file(dir_.file("kitchen.txt"), testdata("records.txt"));
  write_file(dir_.file("study.txt"), testdata("damaged.txt"));
  std::filesystem::create_symlink("records.txt", dir_.file("link.html"));
  const RefusalCase cases[] = {
      {.args = {"--html", "records.txt"},
       .error = "refusing to write the page over records.txt, one of the files read"},
      {.args = {"--html", "./records.txt", "records.txt"},
       .error = "refusing to write the page over records.txt, one of the files read"},
      {.args = {"--html=link.html", "study.txt", "records.txt"},
       .error = "refusing to write the page over records.txt, one of the files read"},
      {.args = {"--html", "kitchen.txt", "study.txt"},
       .error = "refusing to write the page over kitchen.txt, which is not a page"},
      {.args = {"--html", ".", "records.txt"},
       .error = "refusing to write the page over ., which is not a page"},
  };
  for (const RefusalCase& c : cases) {
    const ProgressRun result = run(c.args);
    expect_exit(result.exit, 2);
    EXPECT_EQ(result.errors, std::string("mathdrill-progress: ") + c.error +
                                 "\nTry 'mathdrill-progress --help' for more information.\n");
    EXPECT_EQ(result.out, "");
  }
  EXPECT_EQ(read_file(dir_.file("records.txt")), testdata("records.txt"));
  EXPECT_EQ(read_file(dir_.file("kitchen.txt")), testdata("records.txt"));
  EXPECT_EQ(read_file(dir_.file("study.txt")), testdata("damaged.txt"));
  EXPECT_EQ(files(), (std::set<std::string>{"records.txt", "page.html", "kitchen.txt", "study.txt",
                                            "link.html"}));
}

TEST_F(ProgressProcessTest, ReplacesThePageAndLeavesNoOtherFile) {
  const ProgressRun result = run({"--html", "page.html", "records.txt"});
  expect_exit(result.exit, 0);
  EXPECT_EQ(result.errors, "");
  EXPECT_EQ(result.out, testdata("records_table.txt"));
  const std::string page = read_file(dir_.file("page.html"));
  EXPECT_TRUE(page.starts_with("<!DOCTYPE html>")) << page.substr(0, 100);
  EXPECT_TRUE(page.ends_with("</html>\n")) << "whole";
  EXPECT_EQ(files(), (std::set<std::string>{"records.txt", "page.html"}));
}

TEST_F(ProgressProcessTest, KeepsThePageWhenNothingCouldBeRead) {
  const ProgressRun result = run({"--html", "page.html", "missing.txt"});
  expect_exit(result.exit, 1);
  EXPECT_EQ(result.errors, "mathdrill-progress: missing.txt: No such file or directory\n");
  EXPECT_EQ(read_file(dir_.file("page.html")), kOldPage);
}

TEST_F(ProgressProcessTest, WritesThePageToStandardOutputForADash) {
  const ProgressRun result = run({"--html", "-", "records.txt"});
  expect_exit(result.exit, 0);
  EXPECT_EQ(result.errors, "");
  EXPECT_TRUE(result.out.starts_with("<!DOCTYPE html>")) << result.out.substr(0, 100);
  EXPECT_NE(result.out.find("<h2>Zoë (addition/subtraction)</h2>"), std::string::npos);
  EXPECT_EQ(files(), (std::set<std::string>{"records.txt", "page.html"})) << "no file '-'";
}

// The page is some 12 KB; a file-size limit of 1,024 bytes (ulimit -f 2,
// set by a shell that then becomes mathdrill-progress) lets part of it be
// written. The program must not die of SIGXFSZ, and the old page stays.
TEST_F(ProgressProcessTest, SaysSoAndKeepsTheOldPageUnderAFileSizeLimit) {
  ChildOptions limited = options({"--html", "page.html", "records.txt"});
  limited.argv.insert(limited.argv.begin(), {"/bin/sh", "-c", "ulimit -f 2 && exec \"$0\" \"$@\""});
  std::string out, errors;
  expect_exit(run_to_end(limited, "", &out, &errors), 1);
  EXPECT_EQ(errors, "mathdrill-progress: page.html: File too large\n");
  EXPECT_EQ(out, testdata("records_table.txt"));
  EXPECT_EQ(read_file(dir_.file("page.html")), kOldPage);
  EXPECT_EQ(files(), (std::set<std::string>{"records.txt", "page.html"}));
}

// A tmpfs of 64 KiB on a folder of the test, filled to the last byte, holding
// the log and the old page. Mounting needs root.
TEST(ProgressFullDisk, SaysSoAndKeepsTheOldPage) {
  TempDir dir;
  if (::geteuid() != 0 || ::mount("tmpfs", dir.path().c_str(), "tmpfs", 0, "size=64k") != 0) {
    GTEST_SKIP() << "mounting a small tmpfs needs root";
  }
  write_file(dir.file("records.txt"), testdata("records.txt"));
  write_file(dir.file("page.html"), kOldPage);
  const int filler = ::open(dir.file("filler").c_str(), O_WRONLY | O_CREAT, 0644);
  const std::string block(4096, 'f');
  while (filler >= 0 && ::write(filler, block.data(), block.size()) > 0) {
  }
  while (filler >= 0 && ::write(filler, block.data(), 1) > 0) {
  }
  if (filler >= 0) ::close(filler);
  ChildOptions options;
  options.argv = {PROGRESS_PATH, "--html", "page.html", "records.txt"};
  options.directory = dir.path();
  std::string out, errors;
  const Exit exit = run_to_end(options, "", &out, &errors);
  expect_exit(exit, 1);
  EXPECT_EQ(errors, "mathdrill-progress: page.html: No space left on device\n");
  EXPECT_EQ(read_file(dir.file("page.html")), kOldPage);
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    names.insert(entry.path().filename().string());
  }
  EXPECT_EQ(names, (std::set<std::string>{"records.txt", "page.html", "filler"}));
  ::umount2(dir.path().c_str(), MNT_DETACH);
}

// The same file by one name twice, or by a link: its tests count once.
TEST_F(ProgressProcessTest, ReadsAFileNamedTwiceOnce) {
  std::filesystem::create_hard_link(dir_.file("records.txt"), dir_.file("copy.txt"));
  struct TwiceCase {
    std::vector<std::string> args = {};
    const char* note = "";
  };
  const TwiceCase cases[] = {
      {.args = {"records.txt", "records.txt"},
       .note = "mathdrill-progress: records.txt: named more than once, read once\n"},
      {.args = {"records.txt", "copy.txt"},
       .note = "mathdrill-progress: copy.txt: the same file as records.txt, read once\n"},
  };
  for (const TwiceCase& c : cases) {
    const ProgressRun result = run(c.args);
    expect_exit(result.exit, 0);
    EXPECT_EQ(result.errors, c.note);
    EXPECT_EQ(result.out, testdata("records_table.txt"));
  }
}

TEST_F(ProgressProcessTest, WritesNoCsvHeaderWithoutTests) {
  write_file(dir_.file("empty.txt"), "");
  const ProgressRun result = run({"--csv", "empty.txt"});
  expect_exit(result.exit, 0);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.errors, "mathdrill-progress: no tests found\n");
}

// A file name that holds escape sequences, C1 controls or a right-to-left
// override shows them as '?'.
TEST_F(ProgressProcessTest, ShowsFileNamesInMessagesSafely) {
  const ProgressRun result = run({"\x1b]0;owned\x07",
                                  "\xC2\x9B"
                                  "31m",
                                  "txt.\xE2\x80\xAE"
                                  "exe"});
  expect_exit(result.exit, 1);
  EXPECT_EQ(result.errors,
            "mathdrill-progress: ?]0;owned?: No such file or directory\n"
            "mathdrill-progress: ?31m: No such file or directory\n"
            "mathdrill-progress: txt.?exe: No such file or directory\n");
}

}  // namespace
}  // namespace testing_support

namespace testing_support {
namespace {

// A folder with records.txt and an answers file with one wrong answer.
class ProgressFactsProcessTest : public ProgressProcessTest {
 protected:
  ProgressFactsProcessTest() {
    write_file(dir_.file("answers.csv"),
               answers_header() + AnswerLine{.answer = 1}.text() + "damaged line\r\n");
  }
};

TEST_F(ProgressFactsProcessTest, ReadsAnswersCsvBesideRecordsTxt) {
  const ProgressRun facts = run({"--facts", "--csv"});
  expect_exit(facts.exit, 0);
  EXPECT_EQ(facts.out,
            "name,operation,first,second,tries,right,median_seconds,status\r\n"
            "Ann,subtraction,15,7,1,0,2.1,missed\r\n");
  // Without --facts, answers.csv is read beside records.txt too.
  const ProgressRun table = run({});
  expect_exit(table.exit, 0);
  EXPECT_EQ(table.errors, "mathdrill-progress: answers.csv: 1 answer read, 1 skipped (line 3)\n");
}

TEST_F(ProgressFactsProcessTest, TellsAnswersByTheFirstLineNotTheName) {
  std::filesystem::rename(dir_.file("answers.csv"), dir_.file("kitchen.txt"));
  const ProgressRun result = run({"--facts", "records.txt", "kitchen.txt"});
  expect_exit(result.exit, 0);
  EXPECT_NE(result.out.find("Ann   subtraction"), std::string::npos) << result.out;
}

TEST_F(ProgressFactsProcessTest, ColoursTheGridOnlyWhereAsked) {
  struct ColourCase {
    const char* what;
    std::vector<std::string> args;
    bool pty;
    std::vector<std::string> env;
    bool coloured;
  };
  const ColourCase cases[] = {
      {.what = "pipe", .args = {}, .pty = false, .env = {}, .coloured = false},
      {.what = "terminal", .args = {}, .pty = true, .env = {}, .coloured = true},
      {.what = "terminal, NO_COLOR",
       .args = {},
       .pty = true,
       .env = {"NO_COLOR=1"},
       .coloured = false},
      {.what = "pipe, always",
       .args = {"--color=always"},
       .pty = false,
       .env = {},
       .coloured = true},
      {.what = "terminal, never",
       .args = {"--color=never"},
       .pty = true,
       .env = {},
       .coloured = false},
  };
  for (const ColourCase& c : cases) {
    std::vector<std::string> args = {"--facts", "--child", "Ann"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    ChildOptions child = options(args);
    child.pty = c.pty;
    child.env = c.env;
    const ProgressRun result = run_with(child);
    expect_exit(result.exit, 0);
    EXPECT_NE(result.out.find("x missed 1"), std::string::npos) << c.what << result.out;
    EXPECT_EQ(result.out.find('\x1b') != std::string::npos, c.coloured) << c.what;
  }
}

}  // namespace
}  // namespace testing_support
