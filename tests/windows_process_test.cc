// mathdrill.exe as a process on Windows (or under Wine), through pipes: the
// console streams are text streams there, so every line goes out with CR LF,
// CR LF typed arrives as one line end, Ctrl-Z cuts a line or ends the input,
// and records.txt holds each line end as CR LF exactly once.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/records_check.h"
#include "tests/support/transcript.h"
#include "tests/support/windows_child.h"

namespace testing_support {
namespace {

// DRILL_PATH is the build's path of mathdrill.exe; made absolute here, since the
// child starts in another folder (under Wine a path from the build host,
// /..., lies on the current drive, which maps the host's root).
std::string drill_path() {
  char full[MAX_PATH + 1];
  DWORD n = ::GetFullPathNameA(DRILL_PATH, sizeof full, full, nullptr);
  return n > 0 && n < sizeof full ? std::string(full, n) : std::string(DRILL_PATH);
}

WindowsRun run_drill(const TempFolder& folder, const std::string& input,
                     bool output_unread = false) {
  WindowsRunOptions options;
  options.program = drill_path();
  options.directory = folder.path();
  options.input = input;
  options.output_unread = output_unread;
  WindowsRun run = run_windows_child(options);
  EXPECT_TRUE(run.started) << options.program;
  EXPECT_FALSE(run.timed_out);
  return run;
}

// Answers with the limit 0, where every problem is 0 + 0 or 0 - 0: the first
// `right` of them 0, the rest 1, `count` in all, each line ended by
// `line_end`.
std::string answers(int right, const std::string& line_end, int count = 20) {
  std::string typed;
  for (int i = 0; i < count; ++i) typed += (i < right ? "0" : "1") + line_end;
  return typed;
}

// Every LF of the console output comes after a CR, and no CR comes twice.
void expect_crlf_lines(const std::string& bytes) {
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\n') {
      ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << "lone LF at " << i;
    }
  }
  EXPECT_EQ(bytes.find("\r\r"), std::string::npos);
}

bool contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

bool ends_with(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() &&
         text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// The blocks of a records.txt that must be whole and valid.
std::vector<Block> records(const std::string& bytes, const std::string& prefix = {}) {
  std::vector<Block> blocks;
  std::string why;
  EXPECT_TRUE(parse_records(bytes, &blocks, &why, prefix)) << why;
  return blocks;
}

// A name through a pipe keeps its bytes, UTF-8 or not: only a console is
// read as UTF-16 and handed on in UTF-8 (text/utf16_decoder_test.cc
// tests that conversion; Wine here gives no console that a test can type
// into).
TEST(Names, NameThroughAPipeKeepsItsBytes) {
  for (const std::string name : {"Zo\xC3\xAB", "Zo\x89"}) {
    TempFolder folder;
    const WindowsRun run = run_drill(folder, name + "\r\n0\r\n" + answers(20, "\r\n") + "n\r\n");
    EXPECT_EQ(run.status, 0u);
    const std::vector<Block> blocks = records(read_binary(folder.file("records.txt")));
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(blocks[0].name, name);
  }
}

class LineEndTest : public ::testing::TestWithParam<std::string> {};

// A whole session typed with CR LF (as the console sends it) or with bare
// LF (a file made elsewhere): the same dialogue, all CR LF on the console.
TEST_P(LineEndTest, SessionShowsCrLfLinesAndLogsOneBlock) {
  const std::string& typed_end = GetParam();
  TempFolder folder;
  WindowsRun run = run_drill(
      folder, "Ann" + typed_end + "0" + typed_end + answers(20, typed_end) + "n" + typed_end);
  EXPECT_EQ(run.status, 0u);
  EXPECT_EQ(run.errors, "");
  expect_crlf_lines(run.output);
  EXPECT_TRUE(
      run.output.starts_with(with_crlf(kBanner + kNamePrompt + kLimitPrompt + kStartingTime)));
  EXPECT_TRUE(contains(run.output, with_crlf("\n\n\n" + kGo + "1.\t 0 ")));
  EXPECT_TRUE(contains(run.output, with_crlf(right_verdict("Ann", 20, 20))));
  EXPECT_TRUE(ends_with(run.output, with_crlf("\n" + kGoAgain)));
  // The report, read from the console with its line ends made plain, is the
  // one in the block.
  std::string plain = run.output;
  for (std::size_t at = plain.find("\r\n"); at != std::string::npos; at = plain.find("\r\n", at)) {
    plain.erase(at, 1);
  }
  const std::vector<Report> reports = console_reports(plain);
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].name, "Ann");
  EXPECT_EQ(reports[0].limit, 0);
  EXPECT_EQ(reports[0].right, 20);

  const std::string log = read_binary(folder.file("records.txt"));
  EXPECT_EQ(log.find("\r\r"), std::string::npos);
  std::vector<Block> blocks = records(log);
  ASSERT_EQ(blocks.size(), 1u);
  EXPECT_EQ(blocks[0].text, log_block(reports[0]));
}

INSTANTIATE_TEST_SUITE_P(TypedLineEnds, LineEndTest, ::testing::Values("\r\n", "\n"),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           return std::string(info.param == "\r\n" ? "CrLf" : "Lf");
                         });

// Ctrl-Z at the start of a line is the end of input, at any of the drill's
// questions; the drill then ends as when a pipe ends, and a test it meets
// in the middle is abandoned without a block.
struct CtrlZCase {
  const char* name = "";
  std::string typed = {};
  std::string output_tail = {};
  int right = -1;  // right answers in the one logged block; -1: no log at all
};

void PrintTo(const CtrlZCase& c, std::ostream* os) { *os << c.name; }

class CtrlZTest : public ::testing::TestWithParam<CtrlZCase> {};

TEST_P(CtrlZTest, EndsInputAtTheStartOfALine) {
  const CtrlZCase& c = GetParam();
  TempFolder folder;
  WindowsRun run = run_drill(folder, c.typed);
  EXPECT_EQ(run.status, 0u);
  EXPECT_EQ(run.errors, "");
  expect_crlf_lines(run.output);
  EXPECT_TRUE(ends_with(run.output, c.output_tail)) << run.output;
  if (c.right < 0) {
    EXPECT_FALSE(file_exists(folder.file("records.txt")));
  } else {
    std::vector<Block> blocks = records(read_binary(folder.file("records.txt")));
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(blocks[0].right, c.right);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Input, CtrlZTest,
    ::testing::Values(CtrlZCase{.name = "AtTheName",
                                .typed = "\x1a"
                                         "Ann\r\n0\r\n",
                                .output_tail = with_crlf(kNamePrompt + "\n")},
                      CtrlZCase{.name = "AtTheLimit",
                                .typed = "Ann\r\n\x1a\r\n0\r\n",
                                .output_tail = with_crlf(kLimitPrompt + "\n")},
                      CtrlZCase{.name = "InATest",
                                .typed = "Ann\r\n0\r\n" + answers(5, "\r\n", 5) + "\x1a\r\n0\r\n",
                                .output_tail = " = \r\n"},
                      CtrlZCase{.name = "AtTheGoAgainQuestion",
                                .typed = "Ann\r\n0\r\n" + answers(20, "\r\n") +
                                         "\x1a"
                                         "y\r\n",
                                .output_tail = with_crlf(kGoAgain + "\n"),
                                .right = 20}),
    [](const ::testing::TestParamInfo<CtrlZCase>& info) { return std::string(info.param.name); });

// Ctrl-Z after some bytes cuts the line: the bytes before it count, the rest
// of the line and its line end are dropped. The limit typed as 1, Ctrl-Z, 9,
// and 0 on the next line is therefore 10.
TEST(CtrlZ, InsideALineDropsTheRestOfIt) {
  TempFolder folder;
  WindowsRun run = run_drill(folder,
                             "Ann\r\n1\x1a"
                             "9 x\r\n0\r\n" +
                                 answers(0, "\r\n") + "n\r\n");
  EXPECT_EQ(run.status, 0u);
  EXPECT_TRUE(contains(run.output, with_crlf(testing_support::limit_line("+-", 10) + "\n")));
  std::vector<Block> blocks = records(read_binary(folder.file("records.txt")));
  ASSERT_EQ(blocks.size(), 1u);
  EXPECT_EQ(blocks[0].limit, 10);
}

// The messages on standard error are text lines too. Run from a console
// that it shares (or none, as here), the drill does not wait for Enter.
TEST(NotANumber, EndsWithStatusOneAndACrLfMessage) {
  TempFolder folder;
  WindowsRun limit = run_drill(folder, "Ann Lee\r\n0\r\n");
  EXPECT_EQ(limit.status, 1u);
  EXPECT_TRUE(ends_with(limit.output, with_crlf(kLimitPrompt + "\n")));
  EXPECT_EQ(limit.errors, with_crlf(limit_message("Lee")));
  WindowsRun answer = run_drill(folder, "Ann\r\n0\r\n0\r\nabc\r\n");
  EXPECT_EQ(answer.status, 1u);
  EXPECT_TRUE(ends_with(answer.output, "2.\t 0 +  0 = \r\n") ||
              ends_with(answer.output, "2.\t 0 -  0 = \r\n"))
      << answer.output;
  EXPECT_EQ(answer.errors, with_crlf(answer_message("abc")));
  EXPECT_FALSE(file_exists(folder.file("records.txt")));
}

// A records.txt that cannot be written (a folder of that name): each test
// says so on standard error, and the dialogue goes on.
TEST(RecordsFile, LostBlockIsReportedOnStandardError) {
  TempFolder folder;
  ASSERT_TRUE(::CreateDirectoryA(folder.file("records.txt").c_str(), nullptr));
  WindowsRun run = run_drill(folder, "Ann\r\n0\r\n" + answers(20, "\r\n") + "n\r\n");
  EXPECT_EQ(run.status, 0u);
  EXPECT_TRUE(ends_with(run.output, with_crlf(kGoAgain)));
  // The reason is the system's own words: "Access is denied" on Windows,
  // "Access denied" under Wine.
  EXPECT_TRUE(run.errors == with_crlf(lost_block_message("Access is denied")) ||
              run.errors == with_crlf(lost_block_message("Access denied")))
      << run.errors;
}

// records.txt is appended to, never truncated: what was there stays, and
// each run adds one whole block with single CR LF line ends.
TEST(RecordsFile, RunsAppendBelowWhatWasThere) {
  TempFolder folder;
  const std::string before = "kept from before\r\n";
  write_binary(folder.file("records.txt"), before);
  const std::string typed = "Bo\r\n0\r\n" + answers(15, "\r\n") + "n\r\n";
  EXPECT_EQ(run_drill(folder, typed).status, 0u);
  EXPECT_EQ(run_drill(folder, typed).status, 0u);
  const std::string log = read_binary(folder.file("records.txt"));
  EXPECT_EQ(log.find("\r\r"), std::string::npos);
  std::vector<Block> blocks = records(log, before);
  ASSERT_EQ(blocks.size(), 2u);
  for (const Block& block : blocks) {
    EXPECT_EQ(block.name, "Bo");
    EXPECT_EQ(block.right, 15);
    EXPECT_EQ(block.grade, "C");
  }
}

// With nobody reading its output the drill neither dies nor hangs: the test
// runs to its end and its block is logged.
TEST(BrokenOutput, DrillGoesOnAndLogs) {
  TempFolder folder;
  WindowsRun run = run_drill(folder, "Ann\r\n0\r\n" + answers(20, "\r\n") + "n\r\n",
                             /*output_unread=*/true);
  EXPECT_EQ(run.status, 0u);
  std::vector<Block> blocks = records(read_binary(folder.file("records.txt")));
  ASSERT_EQ(blocks.size(), 1u);
  EXPECT_EQ(blocks[0].right, 20);
}

}  // namespace
}  // namespace testing_support
