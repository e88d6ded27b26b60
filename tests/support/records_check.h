// Checks the contents of a records.txt as the tests find it: only whole
// nine-line blocks, each laid out as transcript.h's log_block() lays it out
// and with facts that agree with one another, one after another (optionally
// after bytes that were there before). Used by the process, fault, package
// and Windows tests to prove that no block was cut, mixed with another or
// left half-written. Portable C++, no platform calls.
#ifndef TESTS_SUPPORT_RECORDS_CHECK_H_
#define TESTS_SUPPORT_RECORDS_CHECK_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/transcript.h"

namespace testing_support {

// One block of the results log, as parsed: its facts and its exact bytes.
struct Block : Report {
  std::string text;  // all nine lines
};

// Parses `bytes` as `prefix` followed by zero or more whole blocks. Returns
// true when every byte belongs to the prefix or to a valid block, and stores
// the blocks (in file order) in `*blocks` when it is not null. Otherwise
// returns false and says in `*why` (when not null) which block and line are
// wrong and how; `*blocks` then holds the valid blocks before the fault.
//
// A valid block is exactly log_block() of its facts, where
//   the name is 0..255 bytes, none of them whitespace (tab, LF, VT, FF, CR,
//     space), NUL or another control byte;
//   each time is a timestamp text of a real date whose weekday fits it;
//   the elapsed time is "%g" of a whole number of seconds;
//   the limit is a signed 32-bit number, the right count 0..20, the percent
//     right * 5 and the grade its letter grade;
//   the score is right * percent / max(elapsed, 1) truncated (checked
//     exactly when the elapsed time is written as an integer).
bool parse_records(std::string_view bytes, std::vector<Block>* blocks, std::string* why,
                   std::string_view prefix = {});

}  // namespace testing_support

#endif  // TESTS_SUPPORT_RECORDS_CHECK_H_
