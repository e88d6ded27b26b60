// The nine-line block that the drill appends to records.txt after every
// test: what each line must hold and the facts it gives. Blocks are parsed
// straight from the input's bytes, by their fixed texts and fields, a whole
// block at once or a line at a time; the records reader (records_reader.h)
// uses both and keeps count of the lines. Every output works from the
// LoggedTest filled in. A block, from its separator line on, reads:
//
//   -----------drillo1.exe: from www.velmora-math.com----------------------------
//   Test results for Ann:
//   Ending time:    Tue Dec 08 10:04:00 2026
//   Starting time:  Tue Dec 08 10:00:00 2026
//   Elapsed time:   240 seconds.
//   Test description: 20  problems, mixed addition/subtraction (random 50/50)
//   Addend limits 0 through 10
//   Results: 18 right out of 20, grade 90% / A
//   Time/performance rating: 6
#ifndef PROGRESS_BLOCK_FORMAT_H_
#define PROGRESS_BLOCK_FORMAT_H_

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "progress/log_time.h"

namespace progress {

inline constexpr int kBlockLines = 9;
inline constexpr int kProblems = 20;
// Lines longer than this (without their line end) are never part of a block.
inline constexpr std::size_t kMaxLineLength = 4096;
inline constexpr std::size_t kMaxNameLength = 255;
// The longest elapsed time "%g" writes: "-1.23457e+308".
inline constexpr std::size_t kMaxElapsedSize = 13;
// The longest block, with CR LF line ends.
inline constexpr std::size_t kMaxBlockLength = kBlockLines * (kMaxLineLength + 2);

// One test as its block logs it. It keeps its own copies of the texts, so it
// outlives the lines it was read from; it is large (the site name may be
// long), so readers fill one in place.
struct LoggedTest {
  LogTime end;
  LogTime start;
  double elapsed_seconds = 0;
  std::int32_t addend_limit = 0;
  int right = 0;    // 0..20
  int percent = 0;  // right * 5
  std::int64_t rating = 0;
  // Bit i is set when line i (0 = the separator) ended in CR LF, clear when
  // it ended in LF alone.
  std::uint16_t cr_line_ends = 0;
  // The line number (from 1) of the separator line in its file.
  std::uint64_t first_line = 0;

  std::string_view site() const { return {site_bytes, site_size}; }
  std::string_view name() const { return {name_bytes, name_size}; }
  // The elapsed time as logged: "95", "1e+06".
  std::string_view elapsed_text() const { return {elapsed_bytes, elapsed_size}; }

  char site_bytes[kMaxLineLength];
  std::size_t site_size = 0;
  char name_bytes[kMaxNameLength];
  std::size_t name_size = 0;
  char elapsed_bytes[16];
  std::size_t elapsed_size = 0;
};

// Reads line `index` of a block (0 = the separator line, up to 8) from
// the front of `bytes`, which holds the whole line with its line end, or
// else all of the input that is left, and fills in the facts it gives.
// Returns the line's length with its line end (CR LF or LF alone), or 0
// when the bytes there are not that line, or contradict the lines before it
// (a percent other than five times the right answers, a grade other than the
// percent's); `test` may then hold part of the line's facts. The line is
// parsed by its fixed texts and fields, so its end is found without a
// search; its text (without line end) is at most kMaxLineLength bytes.
//
// Line 0: eleven '-', "drillo1.exe: from ", a site name (not empty, no
// whitespace), twenty-eight '-'. Line 1: "Test results for NAME:", NAME up
// to 255 bytes, none of them whitespace or NUL. Lines 2 and 3: the ending
// and starting times (log_time.h). Line 4: "Elapsed time:   E seconds." with
// E as parse_elapsed() reads it. Line 5: the fixed test description. Line 6:
// "Addend limits 0 through L", L a signed 32-bit "%d". Line 7:
// "Results: R right out of 20, grade P% / G". Line 8:
// "Time/performance rating: S", S a signed 32-bit "%d".
std::size_t read_block_line(int index, std::string_view bytes, LoggedTest* test);

// Reads a whole block (lines 0 to 8, as read_block_line() reads each) from
// the front of `bytes`, which holds it, or else all of the input that is
// left. Returns the block's length, or 0 when the bytes there are not a
// whole block; `test` may then hold part of its facts. The records reader
// tries this first, to read a block in one go.
std::size_t read_block(std::string_view bytes, LoggedTest* test);

// The letter grade of a percent score: "A+" from 98, "A" from 90, "B+" from
// 88, "B" from 80, "C+" from 78, "C" from 70, "D+" from 68, "D" from 60,
// else "F".
const char* letter_grade(int percent);

}  // namespace progress

#endif  // PROGRESS_BLOCK_FORMAT_H_
