// The facts of one finished test and the block that records them in
// records.txt. The drill computes a test's facts once with test_facts(),
// shows them on the console (drill/report.h) and appends write_block()'s
// bytes to the log; block_reader.h reads such blocks back. Everything is
// built in fixed buffers, without the heap.
#ifndef RECORDS_BLOCK_WRITER_H_
#define RECORDS_BLOCK_WRITER_H_

#include <cstdint>
#include <optional>
#include <string_view>

#include "records/format.h"
#include "records/operations.h"
#include "records/timestamp.h"
#include "text/civil_time.h"
#include "text/text_buffer.h"

namespace records {

// What the drill knows of a test when its last answer is judged.
struct FinishedTest {
  std::string_view name;
  Operations operations = Operations::mixed_addition_subtraction();
  std::int32_t addend_limit = 0;         // the largest number
  std::int32_t right_count = 0;          // 0 to kProblemCount
  double elapsed = 0;                    // end - start in whole seconds
  std::optional<text::CivilTime> start;  // local times; nothing when
  std::optional<text::CivilTime> end;    //   the clock could not say
};

// The facts that the console report and the block show.
struct TestFacts {
  std::string_view name;  // up to its first NUL, as text output shows it
  Operations operations = Operations::mixed_addition_subtraction();
  std::int32_t addend_limit = 0;
  std::int32_t right_count = 0;
  std::int32_t problem_count = kProblemCount;
  std::int32_t percent = 0;  // right count × 100 / problem count, truncated
  std::string_view grade;    // letter_grade(percent)
  double elapsed = 0;
  std::int32_t score = 0;  // performance_score()
  Timestamp start;
  Timestamp end;
};

// The facts of a finished test. Every test has them; nothing fails.
TestFacts test_facts(const FinishedTest& test);

// The timed performance score: right count × percent / max(elapsed, 1),
// truncated toward zero. An elapsed time below one second, negative ones
// included, divides by 1.
std::int32_t performance_score(std::int32_t right_count, std::int32_t percent, double elapsed);

// The bytes of one block. A name of up to 255 bytes always fits; anything
// that would run past the buffer is dropped, never written beyond it.
using BlockText = text::TextBuffer<1024>;

// The nine-line block of `facts`, each line ended by CR LF.
BlockText write_block(const TestFacts& facts);

}  // namespace records

#endif  // RECORDS_BLOCK_WRITER_H_
