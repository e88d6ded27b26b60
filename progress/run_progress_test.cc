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

// The logs of progress/testdata (see make_records.sh), under their names.
class RunProgressTest : public ::testing::Test {
 protected:
  RunProgressTest() {
    for (const char* name : {"records.txt", "damaged.txt", "odd_names.txt"}) {
      files_.inputs[name] = testdata(name);
    }
  }

  RunResult run(const std::vector<std::string>& args, bool utf8 = false) {
    return testing_support::run_progress_on(args, files_, utf8);
  }

  MemoryFiles files_;
};

// The three outputs of records.txt, each byte for byte against the expected
// file in testdata (checked by hand against records.txt; the CSV also by an
// awk script apart from the program, in make_records.sh), with status 0 and
// nothing on standard error.
TEST_F(RunProgressTest, ShowsTheTableTheChildAndTheCsvOfTheRecords) {
  struct OutputCase {
    std::vector<std::string> args = {};
    const char* expected = "";
  };
  const OutputCase cases[] = {
      {.args = {}, .expected = "records_table.txt"},
      {.args = {"--child", "O'Neil,\"Jo\"", "records.txt"}, .expected = "records_child.txt"},
      {.args = {"--csv", "records.txt"}, .expected = "records.csv"},
  };
  for (const OutputCase& c : cases) {
    files_.opened.clear();
    const RunResult result = run(c.args);
    EXPECT_EQ(result.status, 0) << c.expected;
    EXPECT_EQ(result.errors, "") << c.expected;
    EXPECT_EQ(result.out, testdata(c.expected));
    // Named or not (records.txt in the current folder), that file alone.
    EXPECT_EQ(files_.opened, (std::vector<std::string>{"records.txt"})) << c.expected;
  }
}

TEST_F(RunProgressTest, DrawsTheTrendInBlocksForAUtf8Terminal) {
  const RunResult result = run({"records.txt"}, true);
  EXPECT_EQ(result.status, 0);
  EXPECT_NE(result.out.find("  ▆▇▇▇█▇█\n"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("  ▅▅▆▇\n"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("Zoë              3  "), std::string::npos) << "aligned by width";
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
  EXPECT_NE(result.out.find("\nAnn              2  2026-03-02  2026-03-04"), std::string::npos)
      << result.out;
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
  std::string large;
  for (int i = 0; i < 2000; ++i) large += Block{.name = "Big"}.text();
  files_.chunk = 1 << 20;
  for (int i = 0; i < 6; ++i) {
    const std::string name = "log" + std::to_string(i) + ".txt";
    files_.inputs[name] = i % 2 == 0 ? Block{.name = "Small"}.text() : large;
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
  const RunResult result = run({"records.txt", "-", "records.txt"});
  EXPECT_EQ(result.status, 0);
  EXPECT_NE(result.out.find("\nAnn             15  2026-03-02  2026-03-14     25%  F"),
            std::string::npos)
      << result.out;
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
  EXPECT_NE(result.out.find("\nAnn       1  "), std::string::npos) << result.out;
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
  EXPECT_NE(page.find("<h2>O&#39;Neil,&quot;Jo&quot;</h2>"), std::string::npos);
  EXPECT_NE(page.find("<h2>Zoë</h2>"), std::string::npos);
}

TEST_F(RunProgressTest, ChartsOnlyTheChildAskedFor) {
  const RunResult result = run({"--child", "Zoë", "--html=zoe.html", "records.txt"});
  EXPECT_EQ(result.status, 0);
  const std::string& page = files_.written["zoe.html"];
  EXPECT_NE(page.find("<h2>Zoë</h2>"), std::string::npos);
  EXPECT_EQ(page.find("<h2>Ann</h2>"), std::string::npos);
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

TEST_F(RunProgressTest, PrintsHelp) {
  const RunResult result = run({"--help"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.errors, "");
  EXPECT_EQ(result.out.rfind("Usage: mathdrill-progress [OPTION]... [FILE]...\n", 0), 0u);
  for (const char* option : {"--child NAME", "--csv", "--html FILE", "--help"}) {
    EXPECT_NE(result.out.find(option), std::string::npos) << option;
  }
  EXPECT_TRUE(files_.opened.empty());
}

}  // namespace
}  // namespace progress
