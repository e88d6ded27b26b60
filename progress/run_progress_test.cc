#include "progress/run_progress.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/byte_stream.h"
#include "tests/support/fakes.h"
#include "tests/support/progress_files.h"
#include "tests/support/transcript.h"

namespace progress {
namespace {

using Block = testing_support::BlockFacts;
using testing_support::MemoryFiles;
using testing_support::RunResult;
using testing_support::testdata;

// How many times `what` stands in `text`.
std::size_t count_of(const std::string& text, const std::string& what) {
  std::size_t found = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
    ++found;
  }
  return found;
}

// The logs of progress/testdata (see make_records.sh), under their names.
class RunProgressTest : public ::testing::Test {
 protected:
  RunProgressTest() {
    for (const char* name : {"records.txt", "damaged.txt", "odd_names.txt", "operations.txt"}) {
      files_.inputs[name] = testdata(name);
    }
  }

  RunResult run(const std::vector<std::string>& args, bool utf8 = false) {
    return testing_support::run_progress_on(args, files_, utf8);
  }

  MemoryFiles files_;
};

// The three outputs of records.txt and of operations.txt, each byte for byte
// against the expected file in testdata (checked by hand against the log;
// the CSV also by an awk script apart from the program, in make_records.sh),
// with status 0 and nothing on standard error.
TEST_F(RunProgressTest, ShowsTheTableTheChildAndTheCsvOfTheRecords) {
  struct OutputCase {
    std::vector<std::string> args = {};
    const char* expected = "";
    const char* read = "records.txt";
  };
  const OutputCase cases[] = {
      {.args = {}, .expected = "records_table.txt"},
      {.args = {"--child", "O'Neil,\"Jo\"", "records.txt"}, .expected = "records_child.txt"},
      {.args = {"--csv", "records.txt"}, .expected = "records.csv"},
      // Tests of other operations: a row for each child and kind.
      {.args = {"operations.txt"}, .expected = "operations_table.txt", .read = "operations.txt"},
      {.args = {"--child", "Ann", "operations.txt"},
       .expected = "operations_child.txt",
       .read = "operations.txt"},
      {.args = {"--csv", "operations.txt"}, .expected = "operations.csv", .read = "operations.txt"},
  };
  for (const OutputCase& c : cases) {
    files_.opened.clear();
    const RunResult result = run(c.args);
    EXPECT_EQ(result.status, 0) << c.expected;
    EXPECT_EQ(result.errors, "") << c.expected;
    EXPECT_EQ(result.out, testdata(c.expected));
    // Named or not (records.txt in the current folder), that file alone.
    EXPECT_EQ(files_.opened, (std::vector<std::string>{c.read})) << c.expected;
  }
}

TEST_F(RunProgressTest, DrawsTheTrendInBlocksForAUtf8Terminal) {
  const RunResult result = run({"records.txt"}, true);
  EXPECT_EQ(result.status, 0);
  EXPECT_NE(result.out.find("  ▆▇▇▇█▇█\n"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("  ▅▅▆▇\n"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("Zoë          +-              3  "), std::string::npos)
      << "aligned by width";
}

TEST_F(RunProgressTest, WritesCsvOfSeveralFilesInFileOrderUnderOneHeader) {
  const RunResult result = run({"--csv", "odd_names.txt", "records.txt"});
  EXPECT_EQ(result.status, 0);
  const std::string records = testdata("records.csv");
  const std::string header = records.substr(0, records.find("\r\n") + 2);
  ASSERT_EQ(result.out.substr(0, header.size()), header);
  const std::string rest = result.out.substr(header.size());
  EXPECT_EQ(rest.find("\"<b>Tom&Jerry</b>\""), std::string::npos) << "no comma, no quotes";
  EXPECT_EQ(rest.find("2026-04-01T09:00:00,2026-04-01T09:00:40,<b>Tom&Jerry</b>,0,18,20,90,A,40,"),
            0u);
  EXPECT_EQ(rest.substr(rest.size() - (records.size() - header.size())),
            records.substr(header.size()));
}

TEST_F(RunProgressTest, SaysWhatItSkippedByLines) {
  const RunResult result = run({"damaged.txt"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.errors,
            "mathdrill-progress: damaged.txt: 4 tests read, 5 skipped "
            "(lines 1, 11-14, 24, 34-43, 53-55)\n");
  EXPECT_NE(result.out.find("\nAnn          +-              2  2026-03-02  2026-03-04"),
            std::string::npos)
      << result.out;
}

// An elapsed time beyond 2^63 seconds, which the drill's clock cannot give,
// makes its block damaged; the others' figures stay finite everywhere.
TEST_F(RunProgressTest, SkipsABlockWithAnElapsedTimeBeyondTheDrillsRange) {
  files_.inputs["odd.txt"] =
      Block{.elapsed = "1.79769e+308"}.text() + Block{.elapsed = "9.22337e+18"}.text() +
      Block{.elapsed = "-9.22338e+18"}.text() + Block{.elapsed = "9.22337e+18"}.text();
  const RunResult result = run({"--html", "odd.html", "odd.txt"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.errors,
            "mathdrill-progress: odd.txt: 2 tests read, 2 skipped (lines 1-9, 19-27)\n");
  EXPECT_NE(result.out.find("\nAnn   +-              2  "), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("  9.22337e+18  "), std::string::npos) << result.out;
  const std::string& page = files_.written["odd.html"];
  for (const char* word : {"inf", "nan"}) {
    EXPECT_EQ(result.out.find(word), std::string::npos) << word;
    EXPECT_EQ(page.find(word), std::string::npos) << word;
  }
  const RunResult csv = run({"--csv", "odd.txt"});
  EXPECT_EQ(csv.out.find("e+308"), std::string::npos) << csv.out;
}

TEST_F(RunProgressTest, NamesOnlyTheFirstFiveStretches) {
  std::string log;
  for (int i = 0; i < 6; ++i) log += "noise\n" + Block{}.text();
  files_.inputs["noisy.txt"] = log + "x";
  const RunResult result = run({"noisy.txt"});
  EXPECT_EQ(result.errors,
            "mathdrill-progress: noisy.txt: 6 tests read, 7 skipped "
            "(lines 1, 11, 21, 31, 41, ...)\n");
  files_.inputs["one.txt"] = "hello\n" + Block{}.text();
  EXPECT_EQ(run({"one.txt"}).errors,
            "mathdrill-progress: one.txt: 1 test read, 1 skipped (line 1)\n");
}

// A log saved by a Windows editor starts with a byte-order mark, and one
// cut short ends without a line end; the drill then starts its next block
// with CR LF.
TEST_F(RunProgressTest, ReadsLogsWithAByteOrderMarkOrACutLastLine) {
  const std::string block = Block{.name = "Ann"}.text();
  files_.inputs["windows.txt"] = "\xEF\xBB\xBF" + block;
  files_.inputs["cut.txt"] = block.substr(0, 100) + "\r\n" + Block{.name = "Bob"}.text();
  const RunResult result = run({"--csv", "windows.txt", "cut.txt"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.errors, "mathdrill-progress: cut.txt: 1 test read, 1 skipped (lines 1-2)\n");
  EXPECT_NE(result.out.find(",Ann,"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find(",Bob,"), std::string::npos) << result.out;
}

TEST_F(RunProgressTest, ReadsManyFilesOneAfterAnother) {
  // Small and large files in turn: the reading buffer grows and is kept.
  std::vector<std::string> args = {"--csv"};
  files_.chunk = 1 << 20;
  for (int i = 0; i < 6; ++i) {
    const std::string name = "log" + std::to_string(i) + ".txt";
    // Each file's tests differ from the others' in their site, and from
    // each other in their rating.
    const std::string site = "site" + std::to_string(i) + ".example";
    std::string text;
    for (int j = i % 2 == 0 ? 1 : 2000; j > 0; --j) {
      text += Block{.site = site, .rating = std::to_string(j)}.text();
    }
    files_.inputs[name] = text;
    args.push_back(name);
  }
  const RunResult result = run(args);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.errors, "");
  std::size_t rows = 0;
  for (std::size_t at = result.out.find("\r\n"); at != std::string::npos;
       at = result.out.find("\r\n", at + 2)) {
    ++rows;
  }
  EXPECT_EQ(rows, 1u + 3u + 3u * 2000u);
}

TEST_F(RunProgressTest, MergesChildrenAcrossFiles) {
  files_.inputs["-"] = Block{.name = "Ann", .start = "Sat Mar 14 10:00:00 2026", .right = 5}.text();
  const RunResult result = run({"records.txt", "-"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.errors, "");
  EXPECT_NE(result.out.find("\nAnn          +-              8  2026-03-02  2026-03-14     25%  F"),
            std::string::npos)
      << result.out;
}

// One file named twice, by one name or by two (a link, another path), is
// read once; the note names it.
TEST_F(RunProgressTest, ReadsAFileNamedTwiceOnce) {
  struct TwiceCase {
    std::vector<std::string> args = {};
    const char* note = "";
  };
  files_.links["./records.txt"] = "records.txt";
  const TwiceCase cases[] = {
      {.args = {"records.txt", "records.txt"},
       .note = "mathdrill-progress: records.txt: named more than once, read once\n"},
      {.args = {"records.txt", "./records.txt"},
       .note = "mathdrill-progress: ./records.txt: the same file as records.txt, read once\n"},
      {.args = {"--csv", "./records.txt", "records.txt"},
       .note = "mathdrill-progress: records.txt: the same file as ./records.txt, read once\n"},
  };
  for (const TwiceCase& c : cases) {
    files_.opened.clear();
    const RunResult result = run(c.args);
    EXPECT_EQ(result.status, 0) << c.note;
    EXPECT_EQ(result.errors, c.note);
    EXPECT_EQ(result.out, testdata(c.args[0] == "--csv" ? "records.csv" : "records_table.txt"))
        << c.note;
  }
  files_.inputs["-"] = Block{}.text();
  const RunResult input = run({"--csv", "-", "-"});
  EXPECT_EQ(input.errors, "mathdrill-progress: standard input: named more than once, read once\n");
  EXPECT_EQ(files_.opened.back(), "-");
}

// The page never replaces a file that is read, nor a file that is there and
// is not a page: a log named where the page's name was forgotten. Nothing is
// read, written or printed then, and the status is that of a usage error.
TEST_F(RunProgressTest, RefusesToWriteThePageOverAnotherFile) {
  struct RefusalCase {
    std::vector<std::string> args = {};
    const char* error = "";
  };
  files_.links["./records.txt"] = "records.txt";
  files_.inputs["kitchen.txt"] = testdata("records.txt");
  files_.inputs["study.txt"] = testdata("records.txt");
  files_.inputs["notes.txt"] = "   Not a page";
  files_.inputs["/dev/sda"] = "";
  files_.irregular.insert("/dev/sda");
  const RefusalCase cases[] = {
      {.args = {"--html", "records.txt"},
       .error = "refusing to write the page over records.txt, one of the files read"},
      {.args = {"--html=./records.txt", "damaged.txt", "records.txt"},
       .error = "refusing to write the page over records.txt, one of the files read"},
      {.args = {"--html", "kitchen.txt", "study.txt"},
       .error = "refusing to write the page over kitchen.txt, which is not a page"},
      {.args = {"--html", "notes.txt"},
       .error = "refusing to write the page over notes.txt, which is not a page"},
      {.args = {"--child", "Ann", "--html", "/dev/sda"},
       .error = "refusing to write the page over /dev/sda, which is not a page"},
  };
  for (const RefusalCase& c : cases) {
    const RunResult result = run(c.args);
    EXPECT_EQ(result.status, 2) << c.error;
    EXPECT_EQ(result.errors, std::string("mathdrill-progress: ") + c.error +
                                 "\nTry 'mathdrill-progress --help' for more information.\n");
    EXPECT_EQ(result.out, "");
    EXPECT_TRUE(files_.written.empty()) << c.error;
  }
}

// An earlier page, an empty file or a page of another program is replaced.
TEST_F(RunProgressTest, ReplacesAnEarlierPage) {
  for (const char* before :
       {"<!DOCTYPE html>\n<html>old\n</html>\n", "<!DOCTYPE html>\r\n<html>\r\n</html>\r\n"}) {
    files_.inputs["page.html"] = before;
    files_.written.clear();
    const RunResult result = run({"--html", "page.html", "records.txt"});
    EXPECT_EQ(result.status, 0) << before;
    EXPECT_EQ(result.errors, "") << before;
    EXPECT_EQ(files_.written["page.html"].substr(0, 15), "<!DOCTYPE html>") << before;
  }
}

// An empty file is no page: records.txt left empty by a failed first write
// must not become the page, as blocks may be appended to it later.
TEST_F(RunProgressTest, RefusesToWriteThePageOverAnEmptyFile) {
  files_.inputs["empty.txt"] = "";
  const RunResult result = run({"--html", "empty.txt", "records.txt"});
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.errors,
            "mathdrill-progress: refusing to write the page over empty.txt, which is not a page\n"
            "Try 'mathdrill-progress --help' for more information.\n");
  EXPECT_TRUE(files_.written.empty());
}

// When no file could be read there is nothing to chart, and the page written
// before stays. Files read with no test in them give a page that says so.
TEST_F(RunProgressTest, WritesNoPageWhenNothingCouldBeRead) {
  RunResult result = run({"--html", "page.html", "missing.txt"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.errors, "mathdrill-progress: missing.txt: No such file or directory\n");
  EXPECT_TRUE(files_.written.empty());
  files_.inputs["empty.txt"] = "";
  result = run({"--html", "page.html", "empty.txt"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.errors, "mathdrill-progress: no tests found\n");
  EXPECT_EQ(files_.written["page.html"].substr(0, 15), "<!DOCTYPE html>");
}

// "--html -" is standard output, where the page takes the place of the table
// or the child's list.
TEST_F(RunProgressTest, WritesThePageToStandardOutputForADash) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--html", "-", "records.txt"},
        std::vector<std::string>{"--child", "Zoë", "--html=-"}}) {
    const RunResult result = run(args);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.errors, "");
    EXPECT_EQ(result.out.substr(0, 15), "<!DOCTYPE html>");
    EXPECT_NE(result.out.find("<h2>Zoë (addition/subtraction)</h2>"), std::string::npos);
    EXPECT_EQ(result.out.find("Started "), std::string::npos);
    EXPECT_EQ(result.out.find("Name "), std::string::npos);
    EXPECT_TRUE(files_.written.empty());
  }
}

// CSV of no test is no CSV at all: the message, and not even the header.
TEST_F(RunProgressTest, WritesNoCsvHeaderWithoutTests) {
  files_.inputs["empty.txt"] = "";
  const RunResult result = run({"--csv", "empty.txt"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.errors, "mathdrill-progress: no tests found\n");
  EXPECT_EQ(run({"--csv", "missing.txt"}).out, "");
}

// A file's name reaches the terminal without the characters a terminal acts
// on: controls (C0, DEL, C1 as characters or as bare bytes) and the
// bidirectional overrides and isolates. Other characters stay.
TEST_F(RunProgressTest, ShowsFileNamesInMessagesSafely) {
  struct NameCase {
    std::string name;
    std::string shown;
  };
  const NameCase cases[] = {
      {.name = "a\x1b]0;owned\x07.txt", .shown = "a?]0;owned?.txt"},
      {.name = "a\x7f\tb", .shown = "a??b"},
      {.name = "\xC2\x9B"
               "31m\xC2\xA0",
       .shown = "?31m\xC2\xA0"},
      {.name = "\x9B"
               "31m",
       .shown = "?31m"},
      {.name = "txt.\xE2\x80\xAE"
               "exe",
       .shown = "txt.?exe"},
      {.name = "\xE2\x81\xA6x\xE2\x81\xA9\xE2\x80\xAA", .shown = "?x??"},
      {.name = "\xE6\x9D\x8E.txt\xE2\x80\x8F", .shown = "\xE6\x9D\x8E.txt\xE2\x80\x8F"},
      // Cut, overlong and surrogate forms are no characters.
      {.name = "\xE6\x9D", .shown = "??"},
      {.name = "\xC0\x9B\xED\xA0\x80\xF4\x90\x80\x80", .shown = "?????????"},
  };
  for (const NameCase& c : cases) {
    const RunResult result = run({c.name});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.errors, "mathdrill-progress: " + c.shown + ": No such file or directory\n");
  }
  files_.unwritable.insert("\x1b[2J.html");
  EXPECT_EQ(run({"--html", "\x1b[2J.html", "records.txt"}).errors,
            "mathdrill-progress: ?[2J.html: Permission denied\n");
}

// When the clocks go back, the hour from 01:00 comes twice: the log's order,
// not the clock's, is the order the tests were taken in, so the last test is
// the one logged last.
TEST_F(RunProgressTest, KeepsTheLogsOrderWhenTheClockGoesBack) {
  files_.inputs["dst.txt"] =
      Block{.end = "Sun Nov 01 01:44:00 2026", .start = "Sun Nov 01 01:40:00 2026", .right = 10}
          .text() +
      Block{.end = "Sun Nov 01 01:14:00 2026", .start = "Sun Nov 01 01:10:00 2026", .right = 20}
          .text();
  RunResult result = run({"dst.txt"});
  EXPECT_EQ(result.out,
            "Name  Operations  Tests  First test  Last test   Last %  Grade  Best %  "
            "Mean % last 5  Median s last 5  Last 20 tests\n"
            "Ann   +-              2  2026-11-01  2026-11-01    100%  A+       100%  "
            "          75%              240  59\n");
  result = run({"--child", "Ann", "dst.txt"});
  EXPECT_EQ(result.out,
            "Started              Operations  Limit     Right  Percent  Grade  Seconds  Score\n"
            "2026-11-01 01:40:00  +-             10  10 of 20      50%  F          240      6\n"
            "2026-11-01 01:10:00  +-             10  20 of 20     100%  A+         240      6\n");
}

// A teacher's copy of a log, and a log that shares some of its tests with
// another: each test is counted once, and the message says how many were
// duplicates.
TEST_F(RunProgressTest, CountsATestReadFromSeveralFilesOnce) {
  const std::string records = testdata("records.txt");
  files_.inputs["copy.txt"] = records;
  // The last four blocks of records.txt, one more test, and the first.
  const std::size_t fourth_last = [&] {
    std::size_t at = records.size();
    for (int i = 0; i < 4; ++i) at = records.rfind("-----------drillo1.exe", at - 1);
    return at;
  }();
  const std::string first = records.substr(0, records.find("-----------drillo1.exe", 1));
  files_.inputs["overlap.txt"] =
      records.substr(fourth_last) +
      Block{.name = "Ann", .start = "Sat Mar 14 10:00:00 2026", .right = 5}.text() + first;
  const RunResult result = run({"records.txt", "copy.txt", "overlap.txt"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.errors,
            "mathdrill-progress: copy.txt: 14 tests read, 14 duplicates\n"
            "mathdrill-progress: overlap.txt: 6 tests read, 5 duplicates\n");
  EXPECT_NE(result.out.find("\nAnn          +-              8  2026-03-02  2026-03-14     25%  F"),
            std::string::npos)
      << result.out;
  // The same in CSV: one row a test.
  const RunResult csv = run({"--csv", "records.txt", "copy.txt", "overlap.txt"});
  EXPECT_EQ(csv.out, testdata("records.csv") +
                         "2026-03-14T10:00:00,2026-12-08T10:04:00,Ann,10,5,20,25,F,240,6,addition/"
                         "subtraction\r\n");
}

// Blocks that differ in any line are told apart, and a block that differs
// in its line ends alone is the same test; a duplicate and a damaged block
// of one file are named in one message.
TEST_F(RunProgressTest, TellsTestsApartByEveryLine) {
  const Block base{.name = "Ann"};
  files_.inputs["a.txt"] = base.text();
  files_.inputs["b.txt"] = Block{.site = "other.example", .name = "Ann"}.text() +
                           Block{.name = "Ann", .rating = "7"}.text() +
                           Block{.name = "Ann", .line_end = "\n"}.text() + "noise\n";
  const RunResult result = run({"a.txt", "b.txt"});
  EXPECT_EQ(result.errors,
            "mathdrill-progress: b.txt: 3 tests read, 1 duplicate, 1 skipped (line 28)\n");
  EXPECT_NE(result.out.find("\nAnn   +-              3  "), std::string::npos) << result.out;
}

TEST_F(RunProgressTest, ReadsTheOtherFilesWhenOneCannotBeOpened) {
  const RunResult result = run({"missing.txt", "records.txt"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.errors, "mathdrill-progress: missing.txt: No such file or directory\n");
  EXPECT_EQ(result.out, testdata("records_table.txt"));
}

TEST_F(RunProgressTest, ReportsAReadErrorAndKeepsWhatWasRead) {
  files_.inputs["-"] = Block{}.text() + Block{}.text().substr(0, 100);
  files_.read_errors["-"] = "Input/output error";
  const RunResult result = run({"-"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.errors,
            "mathdrill-progress: standard input: 1 test read, 1 skipped (lines 10-11)\n"
            "mathdrill-progress: standard input: Input/output error\n");
  EXPECT_NE(result.out.find("\nAnn   +-              1  "), std::string::npos) << result.out;
}

TEST_F(RunProgressTest, SaysSoWhenThereIsNothingToShow) {
  files_.inputs["empty.txt"] = "";
  RunResult result = run({"empty.txt"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.errors, "mathdrill-progress: no tests found\n");
  result = run({"--child", "Bob", "records.txt"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.errors, "mathdrill-progress: no tests of Bob found\n");
  result = run({"missing.txt"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.errors, "mathdrill-progress: missing.txt: No such file or directory\n");
}

TEST_F(RunProgressTest, ShowsNoControlCharactersFromNames) {
  const RunResult result = run({"odd_names.txt"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out.find('\x1b'), std::string::npos);
  EXPECT_NE(result.out.find("\nRed?[31mAlert "), std::string::npos) << result.out;
}

TEST_F(RunProgressTest, WritesThePageBesideTheTable) {
  const RunResult result = run({"--html", "page.html", "records.txt", "odd_names.txt"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.errors, "");
  EXPECT_NE(result.out.find("\nAnn  "), std::string::npos);
  const std::string& page = files_.written["page.html"];
  EXPECT_EQ(page.substr(0, 15), "<!DOCTYPE html>");
  std::size_t sections = 0;
  for (std::size_t at = page.find("<section>"); at != std::string::npos;
       at = page.find("<section>", at + 1)) {
    ++sections;
  }
  EXPECT_EQ(sections, 6u);
  EXPECT_NE(page.find("<h2>O&#39;Neil,&quot;Jo&quot; (addition/subtraction)</h2>"),
            std::string::npos);
  EXPECT_NE(page.find("<h2>Zoë (addition/subtraction)</h2>"), std::string::npos);
}

// One chart for each child and kind of test, with --child too.
TEST_F(RunProgressTest, ChartsEachKindOfTestApart) {
  RunResult result = run({"--html", "ops.html", "operations.txt"});
  EXPECT_EQ(result.status, 0);
  const std::string& page = files_.written["ops.html"];
  const std::vector<std::string> headings = {
      "<h2>Ann (addition/subtraction)</h2>\n<p>1 test, 2026-03-10 to 2026-03-10.",
      "<h2>Ann (addition/subtraction/multiplication/division)</h2>\n<p>1 test,",
      "<h2>Ann (multiplication/division)</h2>\n<p>3 tests, 2026-03-10 to 2026-03-13.",
      "<h2>Zoë (multiplication)</h2>\n<p>2 tests,"};
  std::size_t at = 0;
  for (const std::string& heading : headings) {
    at = page.find(heading, at);
    EXPECT_NE(at, std::string::npos) << heading;
  }
  EXPECT_EQ(count_of(page, "<svg "), 4u);
  result = run({"--child", "Ann", "--html", "ann.html", "operations.txt"});
  EXPECT_EQ(result.out, testdata("operations_child.txt"));
  const std::string& ann = files_.written["ann.html"];
  EXPECT_EQ(count_of(ann, "<svg "), 3u);
  EXPECT_NE(ann.find("<h2>Ann (multiplication/division)</h2>\n<p>3 tests, 2026-03-10 to "
                     "2026-03-13. Last: 95% (A). Best: 95%."),
            std::string::npos)
      << ann;
  EXPECT_EQ(ann.find("Zoë"), std::string::npos);
}

TEST_F(RunProgressTest, ChartsOnlyTheChildAskedFor) {
  const RunResult result = run({"--child", "Zoë", "--html=zoe.html", "records.txt"});
  EXPECT_EQ(result.status, 0);
  const std::string& page = files_.written["zoe.html"];
  EXPECT_NE(page.find("<h2>Zoë (addition/subtraction)</h2>"), std::string::npos);
  EXPECT_EQ(page.find("<h2>Ann "), std::string::npos);
  EXPECT_NE(page.find("3 tests, 2026-03-02 to 2026-03-07"), std::string::npos);
}

TEST_F(RunProgressTest, ReportsAPageThatCannotBeWritten) {
  files_.unwritable.insert("/locked/page.html");
  const RunResult result = run({"--html", "/locked/page.html", "records.txt"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.errors, "mathdrill-progress: /locked/page.html: Permission denied\n");
  EXPECT_EQ(result.out, testdata("records_table.txt"));
}

TEST_F(RunProgressTest, ReportsOutputThatCannotBeWritten) {
  testing_support::StringSink out(10);
  testing_support::StringSink errors;
  EXPECT_EQ(run_progress({"--csv", "records.txt"}, out, errors, files_, false), 1);
  EXPECT_EQ(errors.bytes(), "mathdrill-progress: standard output: write error\n");
}

TEST_F(RunProgressTest, RefusesAWrongOption) {
  const RunResult result = run({"--foo", "records.txt"});
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.errors,
            "mathdrill-progress: unrecognized option '--foo'\n"
            "Try 'mathdrill-progress --help' for more information.\n");
  EXPECT_TRUE(files_.opened.empty());
  EXPECT_EQ(run({"--csv", "--child", "Ann"}).status, 2);
}

// The version of the release, the same as the drill's.
TEST_F(RunProgressTest, PrintsTheVersion) {
  const std::string drill = "mathdrill ";
  ASSERT_EQ(testing_support::kVersionLine.rfind(drill, 0), 0u);
  const RunResult result = run({"--version", "records.txt"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.errors, "");
  EXPECT_EQ(result.out, "mathdrill-progress " + testing_support::kVersionLine.substr(drill.size()));
  EXPECT_TRUE(files_.opened.empty());
}

TEST_F(RunProgressTest, PrintsHelp) {
  const RunResult result = run({"--help"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.errors, "");
  EXPECT_EQ(result.out.rfind("Usage: mathdrill-progress [OPTION]... [FILE]...\n", 0), 0u);
  for (const char* option : {"--child NAME", "--csv", "--html FILE", "--help", "--version"}) {
    EXPECT_NE(result.out.find(option), std::string::npos) << option;
  }
  EXPECT_TRUE(files_.opened.empty());
}

}  // namespace
}  // namespace progress

namespace progress {
namespace {

// A block counts once wherever its copies stand, whatever the order of the
// files: a log that holds a test twice, and a copy of that log.
TEST(RunProgressDuplicatesTest, CountsABlockOnceInAnyOrderOfTheFiles) {
  const std::string twice =
      Block{.name = "Ann"}.text() + Block{.name = "Ann"}.text() + Block{.name = "Bob"}.text();
  for (const std::vector<std::string>& order :
       {std::vector<std::string>{"--csv", "both.txt", "copy.txt"},
        std::vector<std::string>{"--csv", "copy.txt", "both.txt"}}) {
    testing_support::MemoryFiles files;
    files.inputs["both.txt"] = twice;
    files.inputs["copy.txt"] = Block{.name = "Ann"}.text();
    const testing_support::RunResult result = testing_support::run_progress_on(order, files);
    EXPECT_EQ(result.status, 0);
    std::size_t rows = 0;
    for (std::size_t at = result.out.find("\r\n"); at != std::string::npos;
         at = result.out.find("\r\n", at + 2)) {
      ++rows;
    }
    EXPECT_EQ(rows, 1u + 2u) << order[1] << " first: " << result.out;
  }
}

}  // namespace
}  // namespace progress
