// Every child's progress, gathered from the tests read: for each name (the
// same name in several files is the same child) the number of tests, the
// first test, the best percent, and the latest tests in order. A child's
// tests are ordered by their starting time; tests that started at the same
// second keep the order they were read in (files in the order named, each
// from its start). A test whose starting time is the placeholder (the clock
// could not be read) is placed right after the test of the same child read
// before it, or before all others when it is the child's first. Memory
// grows with the children and the tests each keeps. run_progress fills one
// for the table and the page (the latest 20 or 100 tests of every child)
// and one for --child (every test of one child).
#ifndef PROGRESS_PROGRESS_BOOK_H_
#define PROGRESS_PROGRESS_BOOK_H_

#include <compare>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "records/block_reader.h"

namespace progress {

// Keeps every test of a child.
inline constexpr std::size_t kAllTests = std::numeric_limits<std::size_t>::max();

// A test's place among its child's tests: a larger one is later.
struct TestOrder {
  std::int64_t year = std::numeric_limits<std::int64_t>::min();
  std::uint32_t time_of_year = 0;  // month, day and time packed in that order
  std::uint64_t sequence = 0;      // the child's tests read before this one

  auto operator<=>(const TestOrder&) const = default;
};

// What the outputs show of one test, without its name.
struct KeptTest {
  TestOrder order = {};
  records::LoggedTime start = {};
  double seconds = 0;
  std::int32_t rating = 0;
  std::int32_t addend_limit = 0;
  std::int32_t right = 0;
  std::int32_t percent = 0;
  std::uint8_t elapsed_size = 0;
  char elapsed_bytes[records::kMaxElapsedLength] = {};

  // The elapsed time as logged: "95", "1e+06".
  std::string_view elapsed() const { return {elapsed_bytes, elapsed_size}; }
};

struct ChildProgress {
  std::string name;  // the bytes as logged
  std::uint64_t tests = 0;
  records::LoggedTime first_start = {};  // of the earliest test
  int best_percent = 0;
  // The latest tests, earliest first, once ProgressBook::finish() has put
  // them in order.
  std::vector<KeptTest> latest = {};
  bool in_order = true;  // whether `latest` is in order already

  // Where the earliest test stands, and the place of the test read last.
  TestOrder first_order = {};
  TestOrder last_read = {};
};

class ProgressBook {
 public:
  // Keeps the latest `window` tests of each child (at least 1), or all of
  // them with kAllTests.
  explicit ProgressBook(std::size_t window) : window_(window == 0 ? 1 : window) {}

  void add(const records::LoggedTest& test);

  // Puts each child's latest tests in order and returns the children in the
  // byte order of their names. Called once, after the last add().
  std::vector<const ChildProgress*> finish();

 private:
  // Looks names up without making a string of them.
  struct NameHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view name) const {
      return std::hash<std::string_view>{}(name);
    }
  };

  ChildProgress& child_named(std::string_view name);
  void keep_latest(ChildProgress& child) const;

  std::size_t window_;
  std::unordered_map<std::string, ChildProgress, NameHash, std::equal_to<>> children_;
};

}  // namespace progress

#endif  // PROGRESS_PROGRESS_BOOK_H_
