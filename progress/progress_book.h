// Every child's progress, gathered from the tests read: for each name (the
// same name in several files is the same child), and for the table and the
// page each kind of test apart (its operations: "+-", "x/"), the number of
// tests, the first test, the best percent, and the latest tests in order.
//
// The drill appends each test to its log when the test ends, so a file's
// own order is the order its tests were taken in, whatever their clocks
// say (an hour repeated when the clocks go back, a clock set back, a clock
// that could not be read). A child's tests of one file therefore keep the
// file's order, and the files are merged by starting time: each test's key
// is its starting time, raised to the key of the child's test before it in
// the same file when it is earlier (or unknown), so every file is a run in
// key order, and a test is placed after every test of the same or an
// earlier key read before it. run_progress calls start_file() before each
// file.
//
// Memory grows with the children and what is shown of each, allocated as
// tests come, never more than the book is asked to keep: run_progress fills
// one book for the table (of each child's latest 20 tests, only what the
// table prints) and the page (the latest 100 whole tests), and one for
// --child (every test of one child).
#ifndef PROGRESS_PROGRESS_BOOK_H_
#define PROGRESS_PROGRESS_BOOK_H_

#include <array>
#include <compare>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "progress/growing_array.h"
#include "records/block_reader.h"
#include "records/operations.h"

namespace progress {

// Keeps every test of a child.
inline constexpr std::size_t kAllTests = std::numeric_limits<std::size_t>::max();

// A test's place among its child's tests: a larger one is later.
struct TestKey {
  std::int64_t year = std::numeric_limits<std::int64_t>::min();
  std::uint32_t time_of_year = 0;  // month, day and time packed in that order

  auto operator<=>(const TestKey&) const = default;
};

// What the table shows of one of a child's latest tests.
struct TrendTest {
  TestKey key = {};
  double seconds = 0;
  std::int32_t percent = 0;
};

// What the page and --child show of one test, without its name. The
// fields are laid out without gaps: --child keeps one for every test of the
// child, and a large log holds hundreds of thousands.
struct KeptTest {
  TestKey key = {};
  text::CivilTime start = {};
  double seconds = 0;
  std::int32_t rating = 0;
  std::int32_t addend_limit = 0;
  records::Operations operations = records::Operations::mixed_addition_subtraction();
  std::uint8_t right = 0;    // 0..kProblemCount, as the reader takes it
  std::uint8_t percent = 0;  // 0..100, as the reader takes it
  std::uint8_t elapsed_size = 0;
  char elapsed_bytes[records::kMaxElapsedLength] = {};

  // The elapsed time as logged: "95", "1e+06".
  std::string_view elapsed() const { return {elapsed_bytes, elapsed_size}; }
};

struct ChildProgress {
  std::string_view name = {};  // the bytes as logged, held by the book
  // The kind of the child's tests, when the book keeps the kinds apart.
  records::Operations operations = records::Operations::mixed_addition_subtraction();
  std::uint64_t tests = 0;
  text::CivilTime first_start = {};  // of the earliest test
  text::CivilTime last_start = {};   // of the latest test
  int best_percent = 0;
  // The latest tests, earliest first once ProgressBook::finish() has put
  // them in order: what the table shows of each, and the whole tests.
  GrowingArray<TrendTest> trend = {};
  GrowingArray<KeptTest> latest = {};

  // The book's own: the keys of the earliest and the latest test and of the
  // test read last, the file that test came from, and where the rings of
  // `trend` and `latest` start until finish().
  TestKey first_key = {};
  TestKey last_key = {};
  TestKey file_key = {};
  std::uint64_t file = 0;
  std::uint32_t trend_head = 0;
  std::uint32_t latest_head = 0;
  bool latest_unordered = false;  // every test kept, and one came before an earlier one
  // The child whose test came after this child's test the last time.
  ChildProgress* next_guess = nullptr;
};

// How many of each child's latest tests a book keeps: what the table shows
// of them, and the whole tests (kAllTests keeps every one); and whether a
// child's tests of each kind are kept apart, as a child of their own.
struct Keep {
  std::size_t trend = 0;
  std::size_t tests = 0;
  bool by_kind = false;
};

// The tests of `child` (a child of a book that keeps every test, the kinds
// together) of each kind, as a child of its own that keeps the latest
// `window` whole tests, in the order of ProgressBook::finish(): what the
// page charts of the one child of --child.
std::vector<ChildProgress> split_by_kind(const ChildProgress& child, std::size_t window);

class ProgressBook {
 public:
  explicit ProgressBook(Keep keep) : keep_(keep) {}

  // The tests added from now on come from the next file.
  void start_file() { ++file_; }

  void add(const records::LoggedTest& test);

  // Puts each child's latest tests in order and returns the children in the
  // byte order of their names, each name's kinds in the order of their
  // operations (addition, subtraction, multiplication, division: "+" before
  // "+-" before "-" before "x"). Called once, after the last add().
  std::vector<const ChildProgress*> finish();

 private:
  // Looks names up without making a string of them.
  struct NameHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view name) const {
      return std::hash<std::string_view>{}(name);
    }
  };

  ChildProgress& child_named(std::string_view name, records::Operations operations);
  ChildProgress& look_up(std::string_view name, records::Operations operations);
  bool is_named(const ChildProgress& child, std::string_view name,
                records::Operations operations) const;

  Keep keep_;
  std::uint64_t file_ = 0;
  std::string key_;  // the map key of the test being added
  // The children found last, which the map keeps in place as it grows.
  static constexpr std::size_t kRecent = 8;
  std::array<ChildProgress*, kRecent> recent_{};
  std::size_t next_recent_ = 0;
  ChildProgress* last_ = nullptr;  // the child of the test added last
  std::unordered_map<std::string, ChildProgress, NameHash, std::equal_to<>> children_;
};

}  // namespace progress

#endif  // PROGRESS_PROGRESS_BOOK_H_
