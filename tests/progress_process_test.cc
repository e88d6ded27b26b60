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
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "tests/support/answers_lines.h"
#include "tests/support/child_process.h"
#include "tests/support/progress_files.h"

namespace testing_support {
namespace {

const std::string kOldPage = "<!DOCTYPE html>\n<p>the page written before</p>\n</html>\n";

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

// A sanitized program lets a preloaded library come before its runtime.
std::string preloading_sanitizer() {
  const char* options = std::getenv("ASAN_OPTIONS");
  return "ASAN_OPTIONS=" + std::string(options ? options : "") + ":verify_asan_link_order=0";
}

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

// The page keeps what its owner set: its permission bits (a teacher's
// private page stays private), and a link to it stays a link, the page
// written where it leads.
TEST_F(ProgressProcessTest, KeepsThePagesModeAndWritesThroughALink) {
  ASSERT_EQ(::chmod(dir_.file("page.html").c_str(), 0600), 0);
  expect_exit(run({"--html", "page.html", "records.txt"}).exit, 0);
  struct stat page;
  ASSERT_EQ(::stat(dir_.file("page.html").c_str(), &page), 0);
  EXPECT_EQ(page.st_mode & 07777, 0600u);

  std::filesystem::create_directory(dir_.file("pages"));
  write_file(dir_.file("pages/real.html"), kOldPage);
  ASSERT_EQ(::chmod(dir_.file("pages/real.html").c_str(), 0640), 0);
  std::filesystem::create_symlink("pages/real.html", dir_.file("link.html"));
  expect_exit(run({"--html", "link.html", "records.txt"}).exit, 0);
  EXPECT_TRUE(std::filesystem::is_symlink(dir_.file("link.html")));
  EXPECT_TRUE(read_file(dir_.file("pages/real.html")).starts_with("<!DOCTYPE html>\n<html"));
  ASSERT_EQ(::stat(dir_.file("pages/real.html").c_str(), &page), 0);
  EXPECT_EQ(page.st_mode & 07777, 0640u);
  EXPECT_EQ(files(), (std::set<std::string>{"records.txt", "page.html", "pages", "link.html"}));
}

// A page the user may not write is refused before anything is read. (The
// superuser may write any file, so there is nothing to show as root.)
TEST_F(ProgressProcessTest, RefusesAPageTheUserMayNotWrite) {
  if (::geteuid() == 0) GTEST_SKIP() << "root may write any file";
  ASSERT_EQ(::chmod(dir_.file("page.html").c_str(), 0444), 0);
  const ProgressRun result = run({"--html", "page.html", "records.txt"});
  expect_exit(result.exit, 2);
  EXPECT_EQ(result.errors,
            "mathdrill-progress: refusing to write the page over page.html, which may not be "
            "written\nTry 'mathdrill-progress --help' for more information.\n");
  EXPECT_EQ(read_file(dir_.file("page.html")), kOldPage);
}

// A file system that cannot flush at all (fsync gives EINVAL) still gets
// the page, as the drill still stores its blocks there.
TEST_F(ProgressProcessTest, WritesThePageWhereTheFileSystemCannotFlush) {
  ChildOptions child = options({"--html", "page.html", "records.txt"});
  child.env = {"LD_PRELOAD=" FAILING_FSYNC_PATH, "FAILING_FSYNC=EINVAL", preloading_sanitizer()};
  std::string out;
  std::string errors;
  expect_exit(run_to_end(child, "", &out, &errors), 0);
  EXPECT_EQ(errors, "");
  EXPECT_TRUE(read_file(dir_.file("page.html")).ends_with("</html>\n"));
}

// Ctrl-C, SIGTERM or SIGHUP while the page is written removes the new file:
// the write is held in its fsync until the signal comes.
TEST_F(ProgressProcessTest, RemovesTheNewFileWhenInterrupted) {
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    ChildOptions child = options({"--html", "page.html", "records.txt"});
    child.env = {"LD_PRELOAD=" FAILING_FSYNC_PATH, "FAILING_FSYNC=hang", preloading_sanitizer()};
    ChildProcess progress(child);
    bool started = false;
    for (int wait = 0; wait < 500 && !started; ++wait) {
      started = files().size() > 2;
      if (!started) ::usleep(10'000);
    }
    ASSERT_TRUE(started) << "no new file appeared";
    progress.kill(signal);
    const Exit exit = progress.wait();
    EXPECT_EQ(exit.signal, signal);
    EXPECT_EQ(files(), (std::set<std::string>{"records.txt", "page.html"})) << signal;
    EXPECT_EQ(read_file(dir_.file("page.html")), kOldPage);
  }
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

// Memory that cannot be had is a message and status 1, never an abort:
// the run holds a table of 200,000 children under a 64 MiB address space.
// Sanitizers reserve far more address space than that, so the test has
// nothing to show under them.
#if defined(__SANITIZE_ADDRESS__)
#define DRILL_UNDER_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define DRILL_UNDER_SANITIZER 1
#endif
#endif
TEST(ProgressOutOfMemoryTest, EndsWithAMessageAndStatusOne) {
#ifdef DRILL_UNDER_SANITIZER
  GTEST_SKIP() << "the sanitizers' address space does not fit the limit";
#endif
  TempDir dir;
  std::string log;
  for (int child = 0; child < 200'000; ++child) {
    log += BlockFacts{.name = "child" + std::to_string(child)}.text();
  }
  write_file(dir.file("many.txt"), log);
  ChildOptions child;
  child.argv = {"/bin/sh", "-c", "ulimit -v 65536 && exec \"$0\" \"$@\"", PROGRESS_PATH,
                "many.txt"};
  child.directory = dir.path();
  std::string out;
  std::string errors;
  const Exit exit = run_to_end(child, "", &out, &errors);
  EXPECT_TRUE(exit.exited) << "signal " << exit.signal;
  EXPECT_EQ(exit.status, 1);
  EXPECT_EQ(errors, "mathdrill-progress: out of memory\n");
}

}  // namespace
}  // namespace testing_support

namespace testing_support {
namespace {

// A file named to retitle the terminal, in a shared folder, reaches both
// programs' option messages through a wildcard: they show its controls,
// 8-bit controls and text-direction overrides as '?'.
TEST(OptionMessagesProcessTest, ShowNoControlOfACraftedFileName) {
  const std::string crafted = "--\x1b]2;owned\x07\x9b\xe2\x80\xae.txt";
  struct ProgramCase {
    const char* path;
    std::string error;
  };
  const ProgramCase cases[] = {
      {.path = PROGRESS_PATH,
       .error = "mathdrill-progress: unrecognized option '--?]2;owned???.txt'\n"
                "Try 'mathdrill-progress --help' for more information.\n"},
      {.path = DRILL_PATH,
       .error = "mathdrill: unknown option '--?]2;owned???.txt'\n"
                "Try 'mathdrill --help' for more information.\n"},
  };
  for (const ProgramCase& c : cases) {
    ChildOptions child;
    child.argv = {c.path, crafted};
    std::string out;
    std::string errors;
    const Exit exit = run_to_end(child, "", &out, &errors);
    EXPECT_TRUE(exit.exited);
    EXPECT_EQ(exit.status, 2);
    EXPECT_EQ(errors, c.error);
    EXPECT_EQ(out, "");
  }
}

// Files named in either order give the same tests: a log that holds a test
// twice, and a copy of it.
TEST(DuplicatesProcessTest, CountsATestOnceInEitherOrderOfTheFiles) {
  TempDir dir;
  const std::string ann = BlockFacts{.name = "Ann"}.text();
  write_file(dir.file("both.txt"), ann + ann + BlockFacts{.name = "Bob"}.text());
  write_file(dir.file("copy.txt"), ann);
  for (const auto& order : {std::vector<std::string>{"both.txt", "copy.txt"},
                            std::vector<std::string>{"copy.txt", "both.txt"}}) {
    ChildOptions child;
    child.argv = {PROGRESS_PATH, "--csv", order[0], order[1]};
    child.directory = dir.path();
    std::string out;
    std::string errors;
    EXPECT_EQ(run_to_end(child, "", &out, &errors).status, 0);
    std::size_t rows = 0;
    for (std::size_t at = out.find('\n'); at != std::string::npos; at = out.find('\n', at + 1)) {
      ++rows;
    }
    EXPECT_EQ(rows, 3u) << order[0] << " first:\n" << out << errors;
  }
}

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
