// Checks the contents of a records.txt as the tests find it: only whole
// nine-line blocks, each line ended by CR LF, each of the shape the drill's
// report gives it, one after another (optionally after bytes that were there
// before). Used by the process and fault tests to prove that no block was
// cut, mixed with another or left half-written. Portable C++, no platform
// calls.
#ifndef TESTS_RECORDS_CHECK_H_
#define TESTS_RECORDS_CHECK_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace testing_support {

// The separator line that opens every block, without its CR LF.
inline constexpr std::string_view kRecordsSeparator =
    "-----------drillo1.exe: from www.velmora-math.com----------------------------";

// One block of the results log, as parsed.
struct Block {
  std::string name;           // between "Test results for " and the final ":"
  std::string ending_time;    // timestamp text without its line end,
  std::string starting_time;  //   e.g. "Tue Dec 08 10:04:00 2026"
  std::string elapsed;        // as written by "%g": "240", "0", "1e+06"
  std::int64_t addend_limit = 0;
  int right = 0;           // 0..20
  int percent = 0;         // right * 5
  std::string grade;       // the letter grade of `percent`
  std::int64_t score = 0;  // the timed performance score
  std::string text;        // the block's exact bytes, all nine lines
};

// Parses `bytes` as `prefix` followed by zero or more whole blocks. Returns
// true when every byte belongs to the prefix or to a valid block, and stores
// the blocks (in file order) in `*blocks` when it is not null. Otherwise
// returns false and says in `*why` (when not null) which block and line are
// wrong and how; `*blocks` then holds the valid blocks before the fault.
//
// A valid block has exactly these nine lines, each ending in "\r\n" (no other
// CR or LF anywhere in it):
//   the separator kRecordsSeparator
//   "Test results for NAME:"     NAME: 0..255 bytes, none of them whitespace
//                                 (tab, LF, VT, FF, CR, space) or NUL
//   "Ending time:    TIMESTAMP"   TIMESTAMP: "Www Mmm DD hh:mm:ss YYYY", a
//   "Starting time:  TIMESTAMP"     real date whose weekday fits it
//   "Elapsed time:   E seconds."  E: "%g" of a whole number of seconds
//   "Test description: 20  problems, mixed addition/subtraction (random 50/50)"
//   "Addend limits 0 through L"   L: a signed 32-bit decimal
//   "Results: R right out of 20, grade P% / G"
//                                 R 0..20, P = R*100/20, G its letter grade
//   "Time/performance rating: S"  S = R*P / max(E, 1) truncated (checked
//                                 exactly when E is written as an integer)
bool parse_records(std::string_view bytes, std::vector<Block>* blocks, std::string* why,
                   std::string_view prefix = {});

// The letter grade of a percent score by the grade scale (the test's own
// copy, independent of the drill's).
std::string expected_grade(int percent);

// The calendar time of a timestamp text read as UTC (what the drill shows
// under TZ=UTC), or nothing when the text is not a valid timestamp.
std::optional<std::int64_t> utc_seconds(std::string_view timestamp);

}  // namespace testing_support

#endif  // TESTS_RECORDS_CHECK_H_
