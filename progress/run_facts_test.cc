// mathdrill-progress --facts run in-process on answers files in memory:
// which files are read as answers, counting a test once, the messages for
// bad lines, and the options of the facts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "progress/run_progress.h"
#include "tests/support/answers_lines.h"
#include "tests/support/progress_files.h"
#include "tests/support/transcript.h"

namespace progress {
namespace {

using Line = testing_support::AnswerLine;
using testing_support::MemoryFiles;
using testing_support::RunResult;

std::string answers_file(const std::vector<Line>& lines) {
  std::string file = testing_support::answers_header();
  for (const Line& line : lines) file += line.text();
  return file;
}

class RunFactsTest : public ::testing::Test {
 protected:
  RunResult run(const std::vector<std::string>& args,
                const testing_support::Terminal& terminal = {}) {
    return testing_support::run_progress_on(args, files_, false, terminal);
  }
  MemoryFiles files_;
};

constexpr std::string_view kCsvHeader =
    "name,operation,first,second,tries,right,median_seconds,status\r\n";

TEST_F(RunFactsTest, TellsAnswersByTheirFirstLineWhateverTheName) {
  files_.inputs["kitchen/records.txt"] = "";
  files_.inputs["study/log"] = "\xEF\xBB\xBF" + answers_file({Line{}});
  files_.chunk = 5;  // the header comes in many pieces
  const RunResult result = run({"--facts", "--csv", "kitchen/records.txt", "study/log"});
  EXPECT_EQ(result.status, 0) << result.errors;
  EXPECT_EQ(result.out, std::string(kCsvHeader) + "Ann,subtraction,15,7,1,1,2.1,learning\r\n");
}

TEST_F(RunFactsTest, ATestReadFromTwoFilesCountsOnce) {
  const std::string file = answers_file({Line{.problem = 1}, Line{.problem = 2}});
  files_.inputs["kitchen/answers.csv"] = file;
  files_.inputs["study/answers.csv"] = file + Line{.started = "2026-12-09T10:00:00"}.text();
  const RunResult result = run({"--facts", "--csv", "kitchen/answers.csv", "study/answers.csv"});
  EXPECT_EQ(result.out, std::string(kCsvHeader) + "Ann,subtraction,15,7,3,3,2.1,fluent\r\n");
  EXPECT_EQ(result.errors, "mathdrill-progress: study/answers.csv: 3 answers read, 1 duplicate\n");
}

TEST_F(RunFactsTest, NamesTheBadLinesOfEachFile) {
  files_.inputs["answers.csv"] =
      answers_file({Line{}}) + "2026-12-08T10:00:00,Ann,addition\r\n" + Line{.problem = 2}.text();
  const RunResult result = run({"--facts", "answers.csv"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.errors, "mathdrill-progress: answers.csv: 2 answers read, 1 skipped (line 3)\n");
}

TEST_F(RunFactsTest, ReadsAnswersCsvBesideRecordsWhenNoFileIsNamed) {
  files_.inputs["answers.csv"] = answers_file({Line{.name = "=Bo,1"}});
  const RunResult result = run({"--facts", "--csv"});
  EXPECT_EQ(result.status, 0) << result.errors;
  EXPECT_EQ(result.out,
            std::string(kCsvHeader) + "\"'=Bo,1\",subtraction,15,7,1,1,2.1,learning\r\n");
  EXPECT_EQ(files_.opened, (std::vector<std::string>{"answers.csv"}));
}

TEST_F(RunFactsTest, FluentSecondsMovesTheLine) {
  files_.inputs["answers.csv"] = answers_file(
      {Line{.problem = 1, .milliseconds = 4000}, Line{.problem = 2, .milliseconds = 4000}});
  EXPECT_NE(run({"--facts", "--csv", "answers.csv"}).out.find(",learning\r\n"), std::string::npos);
  EXPECT_NE(run({"--facts", "--csv", "--fluent-seconds=4", "answers.csv"}).out.find(",fluent\r\n"),
            std::string::npos);
  for (const char* wrong : {"--fluent-seconds=0", "--fluent-seconds=61", "--fluent-seconds=2.5",
                            "--fluent-seconds=", "--color=blue"}) {
    EXPECT_EQ(run({"--facts", wrong, "answers.csv"}).status, 2) << wrong;
  }
}

struct ColourCase {
  const char* what;
  std::vector<std::string> args;
  testing_support::Terminal terminal;
  bool coloured;
};

TEST_F(RunFactsTest, ColoursOnlyWhereAsked) {
  files_.inputs["answers.csv"] = answers_file({Line{.answer = 1}});
  const ColourCase cases[] = {
      {.what = "auto, no terminal", .args = {}, .terminal = {}, .coloured = false},
      {.what = "auto, terminal", .args = {}, .terminal = {.colour = true}, .coloured = true},
      {.what = "--color alone",
       .args = {"--color"},
       .terminal = {.colour = true},
       .coloured = true},
      {.what = "never", .args = {"--color=never"}, .terminal = {.colour = true}, .coloured = false},
      {.what = "always", .args = {"--color=always"}, .terminal = {}, .coloured = true},
      {.what = "NO_COLOR",
       .args = {"--color=always"},
       .terminal = {.colour = true, .no_color = true},
       .coloured = false},
  };
  for (const ColourCase& c : cases) {
    std::vector<std::string> args = {"--facts", "--child", "Ann"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    args.push_back("answers.csv");
    const RunResult result = run(args, c.terminal);
    EXPECT_EQ(result.status, 0) << c.what << result.errors;
    EXPECT_NE(result.out.find(" x missed 1 "), std::string::npos) << c.what;
    EXPECT_EQ(result.out.find('\x1b') != std::string::npos, c.coloured) << c.what;
  }
}

// --child without --facts: each test's row ends with the facts missed in
// it, once answers were read; without answers the listing is as before.
TEST_F(RunFactsTest, ChildListingEndsWithTheFactsMissedInEachTest) {
  using Block = testing_support::BlockFacts;
  files_.inputs["records.txt"] =
      Block{}.text() +
      Block{.end = "Tue Dec 08 11:04:00 2026", .start = "Tue Dec 08 11:00:00 2026"}.text();
  const std::string without = run({"--child", "Ann", "records.txt"}).out;
  files_.inputs["answers.csv"] = answers_file({
      Line{.problem = 1, .answer = 9},
      Line{.problem = 2,
           .operation = "addition",
           .first = 3,
           .second = 4,
           .correct = 7,
           .answer = 1},
      Line{.problem = 3},
      Line{.name = "Bo", .answer = 1},
      Line{.started = "2026-12-08T11:00:00"},
  });
  const RunResult result = run({"--child", "Ann", "records.txt", "answers.csv"});
  EXPECT_EQ(result.status, 0) << result.errors;
  EXPECT_EQ(result.out,
            "Started              Operations  Limit     Right  Percent  Grade  Seconds  Score  "
            "Missed facts\n"
            "2026-12-08 10:00:00  +-             10  18 of 20      90%  A          240      6  15 "
            "- 7, 3 + 4\n"
            "2026-12-08 11:00:00  +-             10  18 of 20      90%  A          240      6\n");
  EXPECT_EQ(without.find("Missed"), std::string::npos);
}

// With answers read, the page shows each child's grids after the charts,
// names escaped, every cell with its symbol and its tries as a title, and
// coloured by a rule of the page's style sheet, which a page without
// answers does not have.
TEST_F(RunFactsTest, PageShowsTheGridsEscaped) {
  using Block = testing_support::BlockFacts;
  files_.inputs["records.txt"] = Block{.name = "<b>&"}.text();
  files_.inputs["answers.csv"] = answers_file({Line{.name = "<b>&", .answer = 1}});
  const RunResult result = run({"--html", "-", "records.txt", "answers.csv"});
  EXPECT_EQ(result.status, 0) << result.errors;
  const std::string& page = result.out;
  EXPECT_NE(page.find("<h2>&lt;b&gt;&amp;: subtraction facts</h2>"), std::string::npos);
  EXPECT_NE(page.find("<td class=\"missed\" title=\"15 - 7: 1 try, 0 right, median 2.1 s\">x</td>"),
            std::string::npos);
  const std::size_t style_end = page.find("</style>");
  EXPECT_LT(page.find(".missed { background: #f19a8e; }"), style_end);
  EXPECT_LT(page.find("table.facts td {"), style_end);
  EXPECT_NE(page.find("</span> never asked 120</p>"), std::string::npos);
  EXPECT_EQ(page.find("<b>"), std::string::npos);
  EXPECT_LT(page.find("<svg"), page.find("subtraction facts"));
  EXPECT_TRUE(page.ends_with("</body>\n</html>\n"));
  const std::string without = run({"--html", "-", "records.txt"}).out;
  EXPECT_EQ(without.find("facts"), std::string::npos);
}

}  // namespace
}  // namespace progress
