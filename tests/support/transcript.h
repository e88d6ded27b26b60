// What the drill writes, as the tests expect it: the fixed texts of the
// dialogue, the verdicts, the console report and the records.txt block of a
// test, and the messages on standard error. This is the one place in the
// tests, the fuzz targets and the benchmark that spells these texts out:
// the session, process, package and Windows tests, the records checker and
// the session fuzz target build or read what the drill writes from here.
// (The golden transcripts of tests/session_test.cc show it whole as well.)
#ifndef TESTS_SUPPORT_TRANSCRIPT_H_
#define TESTS_SUPPORT_TRANSCRIPT_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace testing_support {

// The dialogue's fixed texts, with "\n" line ends as on POSIX.
inline const std::string kBanner =
    "Velmora Math Software -- version 1\n\nDedicated to Marivane\n\n";
inline const std::string kNamePrompt = "What is your name? ";
inline const std::string kLimitPrompt = "How big do you want the addends to be? ";
inline const std::string kStartingTime = "Starting time:  ";
inline const std::string kGo = "Ok, GO!!!   Good luck!!!\n\n";
inline const std::string kGoAgain = "\nDo you want to go again? (y or n) ";
inline const std::string kPressEnter = "Press Enter to close this window.";
// The line that opens every block of records.txt, without its CR LF.
inline constexpr char kSeparatorText[] =
    "-----------drillo1.exe: from www.velmora-math.com----------------------------";
inline const std::string kSeparator = kSeparatorText;
// The timestamp text shown when the clock cannot be read.
inline const std::string kNoTime = "??? ??? ?? ??:??:?? ????";

// `text` with every "\n" written as "\r\n", as a terminal or the Windows
// console shows it.
std::string with_crlf(std::string_view text);

// The verdict lines after an answer, with the empty line that follows.
std::string right_verdict(std::string_view name, int right, int number);
std::string wrong_verdict(std::int64_t correct);

// The messages on standard error, each a whole line.
// The limit's message names "the addend limit", or "the number limit" when
// the operations `signs` multiply or divide.
std::string limit_message(std::string_view text, std::string_view signs = "+-");
std::string answer_message(std::string_view text);
std::string lost_block_message(std::string_view reason);

// The line that says a test's answers could not be appended to answers.csv.
std::string lost_answers_message(std::string_view reason);

// The letter grade of a percent score by the grade scale.
std::string letter_grade(int percent);

// One test's report: the facts the console report and the block show.
struct Report {
  std::string name;
  // The operations, as the description and the limit line give them.
  std::string description = "mixed addition/subtraction (random 50/50)";
  std::string limits = "Addend";  // "Addend limits" or "Number limits"
  std::int64_t low = 0;           // the smallest number: 1 with division
  std::string ending;             // timestamp text without its line end,
  std::string starting;           //   e.g. "Tue Dec 08 10:04:00 2026"
  std::string elapsed;            // as "%g" writes it: "240", "0", "1e+06"
  std::int64_t limit = 0;
  std::int64_t right = 0;
  std::int64_t percent = 0;
  std::string grade;
  std::int64_t score = 0;
};

// The report of a test of `right` answers from `start` to `end` (seconds
// since 1970, shown in UTC), with every derived value as the drill computes
// it. Elapsed times of a million seconds or more are not supported.
// The operations are those of `signs` (in any order, as -o takes them).
Report make_report(std::string_view name, std::int64_t limit, int right, std::int64_t start,
                   std::int64_t end, std::string_view signs = "+-");

// The console part of the report ("Test results for ..." to the score line)
// and the nine-line records.txt block with its CR LF line ends.
std::string console_report(const Report& report);
std::string log_block(const Report& report);

// The fixed text that begins each non-empty line of the console report, in
// order: "Test results for ", "Ending time:    ", ... "Timed performance
// score is ".
std::vector<std::string> console_report_heads();

// The reports in console output, in order, each read by the layout of
// console_report() and rebuilt exactly by it.
std::vector<Report> console_reports(std::string_view console);

// The timestamp text of `time` (seconds since 1970) in UTC, without its line
// end: "%.3s %.3s %02d %02d:%02d:%02d %4d" of weekday, month, day, time and
// year; kNoTime when the time has no breakdown.
std::string utc_timestamp(std::int64_t time);

// The calendar time of a timestamp text read as UTC (what the drill shows
// under TZ=UTC), or nothing when the text is not the timestamp text of a
// real moment (a wrong weekday, the 30th of February, 24:00:00).
std::optional<std::int64_t> utc_seconds(std::string_view timestamp);

// The facts of a block as the texts that stand in it, for blocks of any
// version of the drill and for damaged ones: another web-site name in the
// separator line, LF line ends, a limit or rating that is not a number.
// The percent is right * 5 and the grade that percent's.
struct BlockFacts {
  std::string site = "www.velmora-math.com";
  std::string name = "Ann";
  std::string end = "Tue Dec 08 10:04:00 2026";
  std::string start = "Tue Dec 08 10:00:00 2026";
  std::string elapsed = "240";
  std::string limit = "10";
  std::string signs = "+-";  // the operations, as -o takes them
  int right = 18;
  std::string rating = "6";
  std::string line_end = "\r\n";

  // The nine lines laid out as log_block() lays them out, each ended by
  // `line_end`.
  std::string text() const;
};

// Reads one block laid out as log_block() lays it out, from the start of
// `text`: the report and the length of the block, or nothing, with `*failed_at`
// (when not null) set to the offset at which the text stops fitting.
struct ParsedBlock {
  Report report;
  std::size_t length = 0;
};
std::optional<ParsedBlock> parse_block(std::string_view text, std::size_t* failed_at = nullptr);

// The texts that depend on the operations chosen with -o, given by their
// signs in any order ("+-", "x/", "/x"): the limit question, the test
// description after "problems, " and the limit line of the report.
inline const std::string kNumbersPrompt = "How big do you want the numbers to be? ";
std::string limit_prompt(std::string_view signs);
std::string test_description(std::string_view signs);
std::string limit_line(std::string_view signs, std::int64_t limit);

// The last line of every message about a wrong command line, and the
// version line.
inline const std::string kTryHelp = "Try 'mathdrill --help' for more information.\n";
inline const std::string kVersionLine = "mathdrill 1.2\n";

// An answer typed in a session: as typed ("010"), and as the drill reads it
// (8).
struct Typed {
  std::string shown;
  long value;
};

// The answers.csv that a session of one finished test should have written,
// header first: one line per prompt on `console` (the screen), with the
// answer typed for it (`typed`, in turn), and `milliseconds` as the time
// taken (empty: the fake clock's step). `started`, `name_field` and
// `operations` are the fields every line repeats.
std::string answers_from_screen(const std::string& console, std::string_view started,
                                std::string_view name_field, std::string_view operations, int limit,
                                const std::vector<Typed>& typed,
                                std::string_view milliseconds = {});

}  // namespace testing_support

#endif  // TESTS_SUPPORT_TRANSCRIPT_H_
