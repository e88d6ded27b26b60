// The records.txt format: every fixed text of a test's block, the grade
// scale, the problem count, and the timestamp layout with its placeholder.
// This is the one home of the contract between the drill, which appends a
// block after every test, and mathdrill-progress, which reads the blocks
// back. The block writer and reader (block_writer.h, block_reader.h) and
// the drill's console report take their texts from here. A block reads:
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
//
// with CR LF line ends. Readers accept LF alone too, and any site name.
// A log saved by a Windows editor starts with a UTF-8 byte-order mark,
// which readers pass over.
#ifndef RECORDS_FORMAT_H_
#define RECORDS_FORMAT_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "text/utf8.h"

namespace records {

// The log the drill appends to, in the current folder, and the one that
// mathdrill-progress reads when no file is named.
inline constexpr std::string_view kRecordsFileName = "records.txt";

// Every test has this many problems.
inline constexpr std::int32_t kProblemCount = 20;
// A block has this many lines, the separator line first.
inline constexpr int kBlockLines = 9;
// A name is at most this many bytes; the drill cuts longer ones.
inline constexpr std::size_t kMaxNameLength = 255;
// The line end that the writer puts after every line of a block.
inline constexpr std::string_view kLineEnd = "\r\n";
// What a Windows editor puts at the start of a UTF-8 file it saves.
using text::kByteOrderMark;

// The separator line: its head, the site name and its tail. Older drills
// wrote other site names, so a reader takes any name between head and tail.
inline constexpr std::string_view kSeparatorHead = "-----------drillo1.exe: from ";
inline constexpr std::string_view kSite = "www.velmora-math.com";
inline constexpr std::string_view kSeparatorTail = "----------------------------";

// The heads of the block's lines, shared by the console report.
inline constexpr std::string_view kNameHead = "Test results for ";
inline constexpr std::string_view kNameTail = ":";
inline constexpr std::string_view kEndHead = "Ending time:    ";
inline constexpr std::string_view kStartHead = "Starting time:  ";
inline constexpr std::string_view kElapsedHead = "Elapsed time:   ";
inline constexpr std::string_view kElapsedTail = " seconds.";
inline constexpr std::string_view kDescriptionHead = "Test description: ";
// The description after the problem count: "problems, " and the
// operations' description (operations.h), such as "mixed
// addition/subtraction (random 50/50)". The block puts two spaces before
// "problems" (kBlockCountGap), the console one.
inline constexpr std::string_view kProblemsHead = "problems, ";
inline constexpr std::string_view kBlockCountGap = "  ";
// The heads of the limit line: of tests of addition and subtraction alone,
// of other tests without division, and of tests with division, whose
// numbers start at 1. limit_head() in operations.h picks one.
inline constexpr std::string_view kLimitHead = "Addend limits 0 through ";
inline constexpr std::string_view kNumberLimitHead = "Number limits 0 through ";
inline constexpr std::string_view kDivisionLimitHead = "Number limits 1 through ";
inline constexpr std::string_view kResultsHead = "Results: ";
inline constexpr std::string_view kResultsOutOf = " right out of ";
inline constexpr std::string_view kResultsGrade = ", grade ";
inline constexpr std::string_view kResultsPercent = "% / ";
inline constexpr std::string_view kRatingHead = "Time/performance rating: ";

// The timestamp layout, "%.3s %.3s %02d %02d:%02d:%02d %4d" of weekday,
// month, day, hours, minutes, seconds and year, with three-letter names
// taken from these (Sunday and January first).
inline constexpr std::string_view kDayNames = "SunMonTueWedThuFriSat";
inline constexpr std::string_view kMonthNames = "JanFebMarAprMayJunJulAugSepOctNovDec";
// Stands for a time that the drill could not read: the same shape.
inline constexpr std::string_view kUnknownTime = "??? ??? ?? ??:??:?? ????";

// One step of the grade scale: the letter grade of every percent score from
// `lowest` up to the step above.
struct GradeStep {
  std::int32_t lowest;
  std::string_view letter;
};

// The grade scale, best first: the first step whose lowest percent a score
// reaches gives its grade.
inline constexpr GradeStep kGradeScale[] = {
    {.lowest = 98, .letter = "A+"},
    {.lowest = 90, .letter = "A"},
    {.lowest = 88, .letter = "B+"},
    {.lowest = 80, .letter = "B"},
    {.lowest = 78, .letter = "C+"},
    {.lowest = 70, .letter = "C"},
    {.lowest = 68, .letter = "D+"},
    {.lowest = 60, .letter = "D"},
    {.lowest = -2147483647 - 1, .letter = "F"},
};

// The step of kGradeScale that gives the grade of a percent score: the
// first whose lowest percent the score reaches.
constexpr std::size_t grade_step(std::int32_t percent) {
  for (std::size_t step = 0; step + 1 < std::size(kGradeScale); ++step) {
    if (percent >= kGradeScale[step].lowest) return step;
  }
  return std::size(kGradeScale) - 1;
}

// The letter grade of a percent score, by kGradeScale. Every score has one.
// The scores a test gives, 0 to 100, are looked up in a table made when
// compiling, in place: both readers ask for the grade of every test.
inline std::string_view letter_grade(std::int32_t percent) {
  static constexpr auto kStepOfPercent = [] {
    std::array<std::uint8_t, 101> steps{};
    for (std::int32_t score = 0; score <= 100; ++score) {
      steps[static_cast<std::size_t>(score)] = static_cast<std::uint8_t>(grade_step(score));
    }
    return steps;
  }();
  if (percent >= 0 && percent <= 100) {
    return kGradeScale[kStepOfPercent[static_cast<std::size_t>(percent)]].letter;
  }
  return kGradeScale[grade_step(percent)].letter;
}

}  // namespace records

#endif  // RECORDS_FORMAT_H_
