// What mathdrill-progress keeps of one test once its block is read, and
// where the test stands in its child's history. A child's tests are ordered
// by their starting time, tests that started at the same second in the
// order they were read (files in the order named, each from its start). A
// test whose starting time is the placeholder (the clock could not be read)
// is placed right after the test of the same child read before it, or
// before all others when it is the child's first. The progress book, the
// child's history and every output use it.
#ifndef PROGRESS_TEST_ORDER_H_
#define PROGRESS_TEST_ORDER_H_

#include <compare>
#include <cstdint>
#include <limits>
#include <string_view>

#include "progress/block_format.h"
#include "progress/log_time.h"

namespace progress {

// A test's place among its child's tests: a larger one is later.
struct TestOrder {
  std::int64_t year = std::numeric_limits<std::int64_t>::min();
  std::uint32_t time_of_year = 0;
  std::uint64_t sequence = 0;  // the child's tests read before this one

  auto operator<=>(const TestOrder&) const = default;
};

// Hands out the places of one child's tests as they are read.
class ChildTimeline {
 public:
  // The place of the child's next test read, which started at `start`.
  TestOrder place(const LogTime& start);

 private:
  TestOrder last_;  // the place handed out last, before all if none
  std::uint64_t read_ = 0;
};

// One test, without its name.
struct KeptTest {
  TestOrder order;
  LogTime start;
  double seconds = 0;
  std::int64_t rating = 0;
  std::int32_t addend_limit = 0;
  std::uint8_t right = 0;
  std::uint8_t percent = 0;
  std::uint8_t elapsed_size = 0;
  char elapsed_bytes[kMaxElapsedSize];

  // The elapsed time as logged ("95", "1e+06").
  std::string_view elapsed_text() const { return {elapsed_bytes, elapsed_size}; }
};

// What is kept of `test`, placed at `order`. Elapsed texts longer than any
// "%g" of a double are cut (the block reader never hands those out).
KeptTest keep_test(const LoggedTest& test, TestOrder order);

}  // namespace progress

#endif  // PROGRESS_TEST_ORDER_H_
