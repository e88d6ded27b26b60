// Fault tests of the built drill as a process: its input cut at every byte
// of a session, the process interrupted or killed at many points, its
// standard output closed or left without a reader, and a long run of ten
// thousand tests watched for growing memory or descriptors. Whatever is done
// to it, the drill must end within a time bound, never die of a signal it was
// not sent, and leave records.txt holding what it held before followed only
// by whole blocks. POSIX only: it runs the drill through tests/child_process.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <random>
#include <regex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/records_check.h"
#include "tests/support/transcript.h"

namespace {

using testing_support::Block;
using testing_support::ChildOptions;
using testing_support::ChildProcess;
using testing_support::Exit;
using testing_support::Millis;
using testing_support::TempDir;

using testing_support::kGoAgain;
using testing_support::kLimitPrompt;
using testing_support::kNamePrompt;
using testing_support::limit_message;
using testing_support::lost_block_message;

// The first and the last line of the console report, as they begin.
const std::string kFirstReportLine = testing_support::console_report_heads().front();
const std::string kLastReportLine = testing_support::console_report_heads().back();

// Bytes a records.txt may already hold: older notes and a last line without
// its line end. The drill must append after them and never touch them.
constexpr std::string_view kEarlierRecords =
    "records kept since the spring\r\n"
    "a line that lost its end";

ChildOptions drill_in(const TempDir& dir) {
  ChildOptions options;
  options.argv = {DRILL_PATH};
  options.directory = dir.path();
  options.env = {"TZ=UTC"};
  return options;
}

// The records.txt of a run, parsed after the bytes it held before.
struct Records {
  bool whole = false;  // only `before` and whole blocks
  std::string why;     // what is wrong when not
  std::vector<Block> blocks;
};

// When `before` has a last line without its line end, the first block
// appended after it starts with one, which then belongs to what was there.
Records read_records(const TempDir& dir, std::string_view before = {}) {
  Records records;
  const std::string bytes = testing_support::read_file(dir.file("records.txt"));
  std::string prefix(before);
  if (bytes.size() > before.size() && !before.empty() && !before.ends_with('\n')) {
    prefix += "\r\n";
  }
  records.whole = testing_support::parse_records(bytes, &records.blocks, &records.why, prefix);
  return records;
}

std::string repeat(std::string_view text, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += text;
  return out;
}

// ---------------------------------------------------------------------------
// End of input after every prefix of a session.

// What a session cut short must lead to, worked out from its text alone: the
// whitespace-separated words are the name, the limit (read again after -1),
// twenty answers per test and a go-again word after each test. The answers
// in the sessions below are decimal, so every cut answer is still a number.
struct Expected {
  int status = 0;
  std::string errors;
  std::size_t blocks = 0;
  std::string name;
  std::int64_t limit = 0;
};

std::vector<std::string> split_words(std::string_view text) {
  std::vector<std::string> words;
  std::string word;
  for (char c : text) {
    if (c == ' ' || (c >= '\t' && c <= '\r')) {
      if (!word.empty()) words.push_back(word);
      word.clear();
    } else {
      word += c;
    }
  }
  if (!word.empty()) words.push_back(word);
  return words;
}

Expected expected_after(std::string_view input) {
  static const std::regex number("[+-]?(0[xX][0-9a-fA-F]+|[0-9]+)");
  const std::vector<std::string> words = split_words(input);
  Expected expected;
  if (words.empty()) return expected;
  expected.name = words[0];
  std::size_t next = 1;
  for (;;) {
    if (next == words.size()) return expected;  // input ended at the limit prompt
    const std::string& text = words[next++];
    if (!std::regex_match(text, number)) {
      expected.status = 1;
      expected.errors = limit_message(text);
      return expected;
    }
    expected.limit = std::strtoll(text.c_str(), nullptr, 0);
    if (expected.limit != -1) break;
  }
  for (;;) {
    // A test whose answers run out is abandoned and leaves no block.
    if (next + 20 > words.size()) return expected;
    ++expected.blocks;
    next += 20;
    if (next >= words.size()) return expected;
    const char first = words[next++][0];
    if (first != 'y' && first != 'Y') return expected;
  }
}

struct CutRun {
  std::size_t cut;
  std::unique_ptr<TempDir> dir;
  std::unique_ptr<ChildProcess> drill;
};

// Runs the drill on every prefix of `session`, a few at a time, and checks
// each against what its text leads to.
void run_every_prefix(const std::string& session) {
  constexpr std::size_t kAtOnce = 8;
  for (std::size_t first = 0; first <= session.size(); first += kAtOnce) {
    std::vector<CutRun> runs;
    for (std::size_t cut = first; cut <= session.size() && cut < first + kAtOnce; ++cut) {
      CutRun run{cut, std::make_unique<TempDir>(), nullptr};
      run.drill = std::make_unique<ChildProcess>(drill_in(*run.dir));
      run.drill->send(session.substr(0, cut));
      run.drill->close_input();
      runs.push_back(std::move(run));
    }
    for (CutRun& run : runs) {
      const std::string input = session.substr(0, run.cut);
      SCOPED_TRACE("input cut after " + std::to_string(run.cut) + " bytes: \"" + input + "\"");
      const Expected expected = expected_after(input);
      const Exit exit = run.drill->wait(Millis(5000));
      ASSERT_FALSE(exit.timed_out);
      ASSERT_TRUE(exit.exited) << "killed by signal " << exit.signal;
      EXPECT_EQ(exit.status, expected.status);
      EXPECT_EQ(run.drill->errors(), expected.errors);
      const Records records = read_records(*run.dir);
      ASSERT_TRUE(records.whole) << records.why;
      ASSERT_EQ(records.blocks.size(), expected.blocks);
      for (const Block& block : records.blocks) {
        EXPECT_EQ(block.name, expected.name);
        EXPECT_EQ(block.limit, expected.limit);
      }
    }
  }
}

// Two tests: the limit -12 passes through "-" (not a number) and "-1" (asked
// again); 0x0c through "0x" (not a number) and "0" (a limit of 0); the words
// are set apart by newlines, CR LF, tabs and spaces.
TEST(EndOfInput, AfterEveryPrefixOfATwoTestSession) {
  const std::vector<std::string> sessions = {
      "Ann\n-12\n" + repeat("7\n", 20) + "y\n" + repeat("7\n", 20) + "n\n",
      " Bo\t\r\n0x0c " + repeat("0 ", 20) + "Yes\r\n" + repeat("11\t", 20) + "no\r\n",
  };
  for (const std::string& session : sessions) {
    // The whole session is expected to give both blocks and status 0.
    ASSERT_EQ(expected_after(session).blocks, 2u);
    run_every_prefix(session);
  }
}

// ---------------------------------------------------------------------------
// Interrupted and killed.

// One step of a scripted session: wait for `marker` on the drill's output,
// then send `reply` (possibly nothing).
struct Step {
  std::string marker;
  std::string reply;
};

// A one-test session to the go-again question, with a step at every prompt
// and at every line of the report.
std::vector<Step> one_test_script() {
  std::vector<Step> steps = {
      {.marker = kNamePrompt, .reply = "Ann\n"},
      {.marker = kLimitPrompt, .reply = "12\n"},
  };
  for (int number = 1; number <= 20; ++number) {
    steps.push_back({.marker = std::to_string(number) + ".\t", .reply = ""});
    steps.push_back({.marker = " = ", .reply = "5\n"});
  }
  for (const std::string& head : testing_support::console_report_heads()) {
    steps.push_back({.marker = head, .reply = ""});
  }
  steps.push_back({.marker = kGoAgain, .reply = ""});
  return steps;
}

// Plays steps [0, stop) and then waits for the marker of step `stop`.
::testing::AssertionResult play_to(ChildProcess& drill, const std::vector<Step>& steps,
                                   std::size_t stop) {
  for (std::size_t i = 0; i <= stop; ++i) {
    if (!drill.wait_for(steps[i].marker)) {
      return ::testing::AssertionFailure() << "no \"" << steps[i].marker << "\" at step " << i;
    }
    if (i < stop) drill.send(steps[i].reply);
  }
  return ::testing::AssertionSuccess();
}

// How far a drill stopped by a signal had got, read from its output (all
// it wrote to the pipe is read after it died), and how many blocks that
// allows. The block is appended after the console report's last line and
// before the go-again question.
enum Stage { before_report, console_report, append, after_append };

Stage stage_of(const std::string& output) {
  if (output.find(kGoAgain) != std::string::npos) return after_append;
  if (output.find(kLastReportLine) != std::string::npos) return append;
  if (output.find(kFirstReportLine) != std::string::npos) return console_report;
  return before_report;
}

// Sends `signal` to a drill that is waiting or working on an unfinished
// session, then checks that it died of it and left `kEarlierRecords` and
// as many whole blocks as its output allows.
void check_killed(ChildProcess& drill, const TempDir& dir, int signal) {
  drill.kill(signal);
  const Exit exit = drill.wait(Millis(5000));
  ASSERT_FALSE(exit.timed_out);
  EXPECT_FALSE(exit.exited) << "exited with status " << exit.status;
  EXPECT_EQ(exit.signal, signal);
  const Records records = read_records(dir, kEarlierRecords);
  ASSERT_TRUE(records.whole) << records.why;
  switch (stage_of(drill.output())) {
    case before_report:
    case console_report:
      EXPECT_EQ(records.blocks.size(), 0u);
      break;
    case append:
      EXPECT_LE(records.blocks.size(), 1u);
      break;
    default:
      EXPECT_EQ(records.blocks.size(), 1u);
      break;
  }
}

// The input after the one-test script, from step `from` on: its remaining
// replies, then a second test and "n".
std::string rest_of_session(const std::vector<Step>& steps, std::size_t from) {
  std::string rest;
  for (std::size_t i = from; i < steps.size(); ++i) rest += steps[i].reply;
  return rest + "y\n" + repeat("5\n", 20) + "n\n";
}

// Sends `input` and ends the drill's input: the drill must then exit by
// itself within five seconds, not killed by a signal, with status 0.
void expect_clean_exit(ChildProcess& drill, const std::string& input) {
  drill.send(input);
  drill.close_input();
  const Exit exit = drill.wait(Millis(5000));
  ASSERT_FALSE(exit.timed_out);
  ASSERT_TRUE(exit.exited) << "killed by signal " << exit.signal;
  EXPECT_EQ(exit.status, 0);
}

// For every step of one_test_script(): starts a drill in a fresh folder
// whose records.txt holds kEarlierRecords, plays the steps before it, waits
// for its marker and hands the drill to `act`.
template <typename Act>
void at_every_step(const Act& act) {
  const std::vector<Step> steps = one_test_script();
  for (std::size_t stop = 0; stop < steps.size(); ++stop) {
    SCOPED_TRACE("at \"" + steps[stop].marker + "\", step " + std::to_string(stop));
    TempDir dir;
    testing_support::write_file(dir.file("records.txt"), std::string(kEarlierRecords));
    ChildProcess drill(drill_in(dir));
    ASSERT_TRUE(play_to(drill, steps, stop));
    act(drill, dir, rest_of_session(steps, stop));
  }
}

class Kill : public ::testing::TestWithParam<int> {};

// A kill after every prompt and every report line of a test.
TEST_P(Kill, AtEveryStepOfATest) {
  at_every_step([signal = GetParam()](ChildProcess& drill, const TempDir& dir, const std::string&) {
    check_killed(drill, dir, signal);
  });
}

// The index of the step whose reply is the last answer: the " = " of
// problem 20.
constexpr std::size_t kLastAnswerStep = 2 + 2 * 19 + 1;

// How long the drill takes, as this test sees it, from the last answer being
// sent to the go-again question arriving: the median of a few runs.
std::chrono::microseconds time_to_question(const std::vector<Step>& steps) {
  std::vector<std::chrono::microseconds> times;
  for (int run = 0; run < 5; ++run) {
    TempDir dir;
    ChildProcess drill(drill_in(dir));
    if (!play_to(drill, steps, kLastAnswerStep)) continue;
    const auto sent = std::chrono::steady_clock::now();
    drill.send(steps[kLastAnswerStep].reply);
    if (!drill.wait_for(kGoAgain)) continue;
    times.push_back(std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - sent));
  }
  if (times.empty()) return std::chrono::microseconds(0);
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

// Kills at small random delays after the last answer, spread over the time
// the drill takes to reach the question: while the verdict, the report and
// the block are being written. The delays come from a fixed seed; where they
// land depends on the machine's load.
TEST_P(Kill, AtSmallDelaysAfterTheLastAnswer) {
  const int signal = GetParam();
  const std::vector<Step> steps = one_test_script();
  ASSERT_EQ(steps[kLastAnswerStep - 1].marker, "20.\t");
  const std::chrono::microseconds span = time_to_question(steps);
  ASSERT_GT(span.count(), 0) << "the drill never reached the question";
  constexpr int kRuns = 100;
  std::mt19937 random(20261210);
  std::uniform_int_distribution<long> microseconds(0, span.count());
  for (int run = 0; run < kRuns; ++run) {
    // Busy-waited: a sleep would round up too far.
    const auto delay = std::chrono::microseconds(microseconds(random));
    SCOPED_TRACE("killed " + std::to_string(delay.count()) + " us after the last answer");
    TempDir dir;
    testing_support::write_file(dir.file("records.txt"), std::string(kEarlierRecords));
    ChildProcess drill(drill_in(dir));
    ASSERT_TRUE(play_to(drill, steps, kLastAnswerStep));
    drill.send(steps[kLastAnswerStep].reply);
    const auto until = std::chrono::steady_clock::now() + delay;
    while (std::chrono::steady_clock::now() < until) {
    }
    check_killed(drill, dir, signal);
  }
}

INSTANTIATE_TEST_SUITE_P(Signals, Kill, ::testing::Values(SIGINT, SIGKILL),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return info.param == SIGINT ? "SIGINT" : "SIGKILL";
                         });

// ---------------------------------------------------------------------------
// Standard output closed or without a reader.

void expect_two_blocks_after_earlier_records(const TempDir& dir) {
  const Records records = read_records(dir, kEarlierRecords);
  ASSERT_TRUE(records.whole) << records.why;
  ASSERT_EQ(records.blocks.size(), 2u);
  for (const Block& block : records.blocks) {
    EXPECT_EQ(block.name, "Ann");
    EXPECT_EQ(block.limit, 12);
  }
}

// With descriptor 1 closed, the records file is opened as descriptor 1 while
// a block is appended: console output must not end up in it.
TEST(BrokenOutput, StdoutClosedAtStart) {
  TempDir dir;
  testing_support::write_file(dir.file("records.txt"), std::string(kEarlierRecords));
  ChildOptions options = drill_in(dir);
  options.stdout_closed = true;
  std::string output, errors;
  const Exit exit = testing_support::run_to_end(options, rest_of_session(one_test_script(), 0),
                                                &output, &errors, Millis(5000));
  ASSERT_FALSE(exit.timed_out);
  ASSERT_TRUE(exit.exited) << "killed by signal " << exit.signal;
  EXPECT_EQ(exit.status, 0);
  EXPECT_EQ(output, "");
  EXPECT_EQ(errors, "");
  expect_two_blocks_after_earlier_records(dir);
}

// The reader of the output pipe goes away at every step of the first test:
// each later write fails, yet both tests run and both blocks are appended.
TEST(BrokenOutput, ReaderGoneAtEveryStep) {
  at_every_step([](ChildProcess& drill, const TempDir& dir, const std::string& rest) {
    drill.close_output();
    ASSERT_NO_FATAL_FAILURE(expect_clean_exit(drill, rest));
    EXPECT_EQ(drill.errors(), "");
    expect_two_blocks_after_earlier_records(dir);
  });
}

// The reader is gone before the drill writes anything at all.
TEST(BrokenOutput, ReaderGoneBeforeTheBanner) {
  TempDir dir;
  ChildProcess drill(drill_in(dir));
  drill.close_output();
  ASSERT_NO_FATAL_FAILURE(expect_clean_exit(drill, rest_of_session(one_test_script(), 0)));
  const Records records = read_records(dir);
  ASSERT_TRUE(records.whole) << records.why;
  EXPECT_EQ(records.blocks.size(), 2u);
}

// The faults below are records.txt's own: the answers go to a device that
// takes them all, so that only the blocks meet the fault.
void keep_answers_apart(const TempDir& dir) {
  std::filesystem::create_symlink("/dev/null", dir.file("answers.csv"));
}

// ---------------------------------------------------------------------------
// A file-size limit (ulimit -f) that records.txt reaches.

// Starts a drill whose file-size limit is `bytes`. The limit is lowered in
// this process only for the fork, so the child inherits it and the test does
// not. Returns nothing when the limit cannot be set.
std::unique_ptr<ChildProcess> start_with_file_size_limit(const ChildOptions& options,
                                                         rlim_t bytes) {
  struct rlimit old_limit;
  if (::getrlimit(RLIMIT_FSIZE, &old_limit) != 0) return nullptr;
  struct rlimit new_limit = old_limit;
  new_limit.rlim_cur = bytes;
  if (::setrlimit(RLIMIT_FSIZE, &new_limit) != 0) return nullptr;
  auto drill = std::make_unique<ChildProcess>(options);
  ::setrlimit(RLIMIT_FSIZE, &old_limit);
  return drill;
}

struct LimitCase {
  const char* what;
  rlim_t room;         // bytes the limit leaves after the earlier records
  std::size_t blocks;  // whole blocks that fit in that room
};

void PrintTo(const LimitCase& limit, std::ostream* out) { *out << limit.what; }

class FileSizeLimit : public ::testing::TestWithParam<LimitCase> {};

// A block that does not fit is lost, whole, and the drill goes on: it must
// not die of SIGXFSZ, and a block cut at the limit must be taken back off.
TEST_P(FileSizeLimit, BlockThatDoesNotFitIsLeftOutWhole) {
  TempDir dir;
  testing_support::write_file(dir.file("records.txt"), std::string(kEarlierRecords));
  keep_answers_apart(dir);
  std::unique_ptr<ChildProcess> drill =
      start_with_file_size_limit(drill_in(dir), kEarlierRecords.size() + GetParam().room);
  ASSERT_NE(drill, nullptr) << "the file-size limit cannot be set";
  ASSERT_NO_FATAL_FAILURE(expect_clean_exit(*drill, rest_of_session(one_test_script(), 0)));
  // Each block that did not fit is reported lost.
  EXPECT_EQ(drill->errors(),
            repeat(lost_block_message("File too large"), static_cast<int>(2 - GetParam().blocks)));
  // Both tests ran to the end of their reports.
  EXPECT_NE(drill->output().find(kGoAgain), drill->output().rfind(kGoAgain));
  const Records records = read_records(dir, kEarlierRecords);
  ASSERT_TRUE(records.whole) << records.why;
  EXPECT_EQ(records.blocks.size(), GetParam().blocks);
}

// A block is about 480 bytes.
INSTANTIATE_TEST_SUITE_P(Room, FileSizeLimit,
                         ::testing::Values(LimitCase{"none", 0, 0},
                                           LimitCase{"part_of_a_block", 100, 0},
                                           LimitCase{"one_block_and_a_half", 720, 1}),
                         [](const ::testing::TestParamInfo<LimitCase>& info) {
                           return std::string(info.param.what);
                         });

// ---------------------------------------------------------------------------
// A nearly full disk shared by several drills.

// A tmpfs of 64 KiB mounted on a fresh folder for the life of the
// object. Mounting needs root; `mounted()` says whether it worked.
class SmallFileSystem {
 public:
  explicit SmallFileSystem(const std::string& path) : path_(path) {
    mounted_ = ::geteuid() == 0 && ::mount("tmpfs", path.c_str(), "tmpfs", 0, "size=64k") == 0;
  }
  ~SmallFileSystem() {
    if (mounted_) ::umount2(path_.c_str(), MNT_DETACH);
  }
  bool mounted() const { return mounted_; }

 private:
  std::string path_;
  bool mounted_ = false;
};

// Until `done`, fills the file system at `folder` to the last byte with a
// filler file, then frees a random part of it again, over and over, so that
// the drills' appends meet a full disk at every moment of their writes.
void make_space_come_and_go(const std::string& folder, const std::atomic<bool>& done) {
  std::mt19937 random(12345);
  const std::string filler = folder + "/filler";
  const std::string chunk(512, 'f');
  while (!done) {
    const int fd = ::open(filler.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    if (fd < 0) break;
    while (!done && ::write(fd, chunk.data(), 1 + random() % chunk.size()) > 0) {
    }
    struct stat status;
    if (::fstat(fd, &status) == 0) {
      (void)!::ftruncate(fd, status.st_size * static_cast<off_t>(random() % 100) / 100);
    }
    ::close(fd);
    std::this_thread::sleep_for(std::chrono::microseconds(random() % 200));
  }
}

// Several drills append many tests to one records.txt on a file system that
// is full most of the time, while space comes and goes: every block that
// reaches the file is whole and is one of the tests its drill reported, and
// every test is either in the file or reported lost on standard error.
TEST(FullDisk, DrillsAppendingAtOnceLeaveOnlyWholeBlocks) {
  constexpr int kRounds = 10, kDrills = 6, kTests = 60;
  for (int round = 0; round < kRounds; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    TempDir dir;
    SmallFileSystem disk(dir.path());
    if (!disk.mounted()) GTEST_SKIP() << "mounting a small tmpfs needs root";
    keep_answers_apart(dir);
    std::atomic<bool> done = false;
    std::thread filler(make_space_come_and_go, dir.path(), std::cref(done));
    std::vector<std::unique_ptr<ChildProcess>> drills;
    for (int i = 0; i < kDrills; ++i) {
      drills.push_back(std::make_unique<ChildProcess>(drill_in(dir)));
      std::string input = "D" + std::to_string(i) + "\n0\n";
      for (int t = 1; t <= kTests; ++t) input += repeat("0\n", 20) + (t < kTests ? "y\n" : "n\n");
      drills.back()->send(input);
      drills.back()->close_input();
    }
    const std::string line = lost_block_message("No space left on device");
    std::vector<int> lost(kDrills, 0);
    for (int i = 0; i < kDrills; ++i) {
      const Exit exit = drills[i]->wait(Millis(30000));
      ASSERT_TRUE(exit.exited && !exit.timed_out);
      EXPECT_EQ(exit.status, 0);
      const std::string& errors = drills[i]->errors();
      for (std::size_t at = errors.find(line); at != std::string::npos;
           at = errors.find(line, at + 1)) {
        ++lost[i];
      }
      EXPECT_EQ(errors.size(), lost[i] * line.size()) << errors;
    }
    done = true;
    filler.join();

    const Records records = read_records(dir);
    ASSERT_TRUE(records.whole) << records.why;
    std::vector<int> stored(kDrills, 0);
    for (const Block& block : records.blocks) {
      ASSERT_EQ(block.name.size(), 2u);
      ++stored[block.name[1] - '0'];
      EXPECT_EQ(block.right, 20);
    }
    int all_lost = 0;
    for (int i = 0; i < kDrills; ++i) {
      EXPECT_EQ(stored[i] + lost[i], kTests) << "drill " << i;
      all_lost += lost[i];
    }
    // The tests hold several times what the disk does: many blocks must have
    // met a full disk, and some must have found room.
    EXPECT_GT(all_lost, 0);
    EXPECT_GT(static_cast<int>(records.blocks.size()), 0);
  }
}

// ---------------------------------------------------------------------------
// A disk that cannot store what was written.

// The system says that a block could not be put on the disk (fsync fails
// with EIO, from tests/support/failing_fsync): the drill must not count the
// test as recorded. Each test says so, and its block, with the line end put
// before it, is taken back off, so the file holds what it held before and
// no part of a block.
TEST(FailingDisk, BlockThatCannotBeStoredIsReportedAndTakenBackOff) {
  TempDir dir;
  testing_support::write_file(dir.file("records.txt"), std::string(kEarlierRecords));
  keep_answers_apart(dir);
  ChildOptions options = drill_in(dir);
  options.env.push_back("LD_PRELOAD=" FAILING_FSYNC_PATH);
  // A sanitized drill lets the preloaded library come before its runtime.
  const char* sanitizer = std::getenv("ASAN_OPTIONS");
  options.env.push_back("ASAN_OPTIONS=" + std::string(sanitizer ? sanitizer : "") +
                        ":verify_asan_link_order=0");
  ChildProcess drill(options);
  ASSERT_NO_FATAL_FAILURE(expect_clean_exit(drill, rest_of_session(one_test_script(), 0)));
  EXPECT_EQ(drill.errors(), repeat(lost_block_message("Input/output error"), 2));
  EXPECT_NE(drill.output().find(kGoAgain), drill.output().rfind(kGoAgain));
  EXPECT_EQ(testing_support::read_file(dir.file("records.txt")), kEarlierRecords);
}

// A test's answers that cannot be stored are reported in one line and left
// out whole, the block in records.txt stays, and the drill goes on; a disk
// that cannot store them takes back what was written.
TEST(FailingDisk, AnswersThatCannotBeStoredAreReportedAndTheBlocksStay) {
  TempDir dir;
  ASSERT_TRUE(std::filesystem::create_directory(dir.file("answers.csv")));
  ChildProcess drill(drill_in(dir));
  ASSERT_NO_FATAL_FAILURE(expect_clean_exit(drill, rest_of_session(one_test_script(), 0)));
  EXPECT_EQ(drill.errors(), repeat(testing_support::lost_answers_message("Is a directory"), 2));
  const Records records = read_records(dir);
  ASSERT_TRUE(records.whole) << records.why;
  EXPECT_EQ(records.blocks.size(), 2u);

  TempDir failing;
  ChildOptions options = drill_in(failing);
  options.env.push_back("LD_PRELOAD=" FAILING_FSYNC_PATH);
  const char* sanitizer = std::getenv("ASAN_OPTIONS");
  options.env.push_back("ASAN_OPTIONS=" + std::string(sanitizer ? sanitizer : "") +
                        ":verify_asan_link_order=0");
  ChildProcess unstored(options);
  ASSERT_NO_FATAL_FAILURE(expect_clean_exit(unstored, rest_of_session(one_test_script(), 0)));
  EXPECT_EQ(testing_support::read_file(failing.file("answers.csv")), "");
}

// A records.txt that is a named pipe nobody reads: opening it must not wait
// for a reader, so the drill reports on the console, says that the test was
// not recorded, and goes on.
TEST(UnusableLog, NamedPipeWithoutReaderDoesNotHang) {
  TempDir dir;
  ASSERT_EQ(::mkfifo(dir.file("records.txt").c_str(), 0666), 0);
  ChildProcess drill(drill_in(dir));
  ASSERT_NO_FATAL_FAILURE(expect_clean_exit(drill, rest_of_session(one_test_script(), 0)));
  EXPECT_NE(drill.output().find(kGoAgain), drill.output().rfind(kGoAgain));
  EXPECT_EQ(drill.errors(), repeat(lost_block_message("No such device or address"), 2));
}

// ---------------------------------------------------------------------------
// A long run.

// What /proc shows of the drill at one moment. Anonymous memory (heap,
// stack, data) is what a leak grows, so it is held flat; file-backed pages
// grow too when a code path first runs late, e.g. the first test whose
// elapsed time is not 0, so they are not looked at.
struct Usage {
  long anon_kib = -1;  // RssAnon: resident anonymous memory
  long data_kib = -1;  // VmData: the size of heap and data, resident or not
  int fds = -1;        // entries of /proc/<pid>/fd
};

// A "Name:   123 kB" field of /proc/<pid>/status, or -1 when it is missing.
long status_field_kib(const std::string& status, const std::string& field) {
  const std::size_t at = status.find("\n" + field + ":");
  if (at == std::string::npos) return -1;
  return std::strtol(status.c_str() + at + field.size() + 2, nullptr, 10);
}

// Fields stay -1 when /proc cannot be read.
Usage usage_of(pid_t pid) {
  Usage usage;
  const std::string proc = "/proc/" + std::to_string(pid);
  const std::string status = testing_support::read_file(proc + "/status");
  usage.anon_kib = status_field_kib(status, "RssAnon");
  usage.data_kib = status_field_kib(status, "VmData");
  std::error_code error;
  usage.fds = 0;
  for (std::filesystem::directory_iterator it(proc + "/fd", error), end; !error && it != end;
       it.increment(error)) {
    ++usage.fds;
  }
  if (error) usage.fds = -1;
  return usage;
}

// Ten thousand tests in one process from piped input. The input is sent up to
// the go-again question of each sample test, so the drill is waiting for
// input, all its work done, when its memory and descriptors are read.
TEST(LongRun, TenThousandTestsKeepMemoryAndDescriptorsFlat) {
  constexpr int kTests = 10000;
  const std::vector<int> samples = {10, 100, 1000, 5000, 9900};
  const std::string answers = repeat("5\n", 20);
  TempDir dir;
  ChildProcess drill(drill_in(dir));

  int sent = 0, shown = 0;
  std::vector<Usage> usages;
  auto run_to = [&](int test) {
    std::string input;
    for (; sent < test; ++sent) input += (sent == 0 ? "Ann\n12\n" : "y\n") + answers;
    ASSERT_TRUE(drill.send(input));
    for (; shown < test; ++shown) ASSERT_TRUE(drill.wait_for(kGoAgain, Millis(10000)));
  };
  for (int sample : samples) {
    ASSERT_NO_FATAL_FAILURE(run_to(sample));
    usages.push_back(usage_of(drill.pid()));
  }
  ASSERT_NO_FATAL_FAILURE(run_to(kTests));
  drill.send("n\n");
  const Exit exit = drill.wait(Millis(60000));

  ASSERT_FALSE(exit.timed_out);
  ASSERT_TRUE(exit.exited) << "killed by signal " << exit.signal;
  EXPECT_EQ(exit.status, 0);
  const Usage& early = usages[1];  // after test 100
  const Usage& late = usages.back();
  ASSERT_GT(early.anon_kib, 0);
  ASSERT_GT(early.data_kib, 0);
  ASSERT_GT(early.fds, 0);
  EXPECT_LT(late.anon_kib - early.anon_kib, 64);
  EXPECT_LT(late.data_kib - early.data_kib, 64);
  for (const Usage& usage : usages) EXPECT_EQ(usage.fds, early.fds);

  const Records records = read_records(dir);
  ASSERT_TRUE(records.whole) << records.why;
  EXPECT_EQ(records.blocks.size(), static_cast<std::size_t>(kTests));
}

}  // namespace
