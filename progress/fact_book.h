// Which facts each child knows, gathered from the answers read from
// answers.csv. A fact is a child, an operation and the two numbers the
// prompt shows ("7 x 8", "15 - 7"); its tries are its answers in time
// order. The --facts table and its CSV, the grid of --facts --child and the
// page's grids are made from it.
//
// A fact's status comes from its last kStatusTries tries:
//   fluent:   at least 2 of them right within the fluency time;
//   learning: at least 1 right, but not fluent;
//   missed:   none right.
// So a fact tried once or twice is never fluent from one quick right answer
// alone, and one right answer among its last three keeps it learning.
//
// Answers come from several files merged by time: each try's place is its
// test's start, then its problem number, so a try read later but taken
// earlier lands before the ones kept. Only the last kStatusTries tries are
// kept (right or not, milliseconds), with the counts of all tries and right
// ones: memory grows with the facts asked, never with the answers.
#ifndef PROGRESS_FACT_BOOK_H_
#define PROGRESS_FACT_BOOK_H_

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "records/answers_reader.h"
#include "records/operations.h"

namespace progress {

inline constexpr int kStatusTries = 3;
// The fluency time unless --fluent-seconds names another.
inline constexpr std::uint32_t kDefaultFluentMilliseconds = 3000;

enum class FactStatus : std::uint8_t { fluent, learning, missed };

// "fluent", "learning" or "missed".
std::string_view status_name(FactStatus status);

struct Try {
  std::int64_t place = 0;  // the test's start and the problem, packed: larger is later
  std::uint32_t milliseconds = 0;
  bool right = false;
};

// What is kept of one fact.
struct FactTries {
  std::array<Try, kStatusTries> last{};  // the latest tries, earliest first
  std::uint8_t kept = 0;                 // how many of `last` hold a try
  std::uint32_t tries = 0;               // all tries
  std::uint32_t right = 0;               // all right ones

  // Takes one more try, placed among the kept ones by its place. Mostly
  // the tries come in time order: the earliest kept falls out and the new
  // one goes last, here; add_in_place() takes every other case.
  void add(const Try& next) {
    ++tries;
    right += next.right ? 1 : 0;
    if (kept == kStatusTries && last[kStatusTries - 1].place <= next.place) {
      for (int at = 0; at + 1 < kStatusTries; ++at) last[at] = last[at + 1];
      last[kStatusTries - 1] = next;
      return;
    }
    add_in_place(next);
  }
  std::uint32_t wrong() const { return tries - right; }
  // How many of the last tries were right.
  int recent_right() const;
  // The median milliseconds of the last tries: the mean of two when two
  // are kept. 0 when none is.
  double median_milliseconds() const;

 private:
  void add_in_place(Try next);
};

// The status of a fact with these tries, right within `fluent_milliseconds`
// counting towards fluent. A fact with no try is missed.
FactStatus fact_status(const FactTries& tries, std::uint32_t fluent_milliseconds);

// A fact of one child and operation.
struct Fact {
  std::int64_t first = 0;
  std::int64_t second = 0;
  FactTries tries;
};

// The facts of one child and one operation, and the numbers its tests could
// draw for it: from `low` (1 when every test with it had division, else 0)
// to `limit`, the largest limit.
struct OperationFacts {
  std::vector<Fact> facts;  // in the order first asked
  std::int32_t low = 1;
  std::int32_t limit = 0;

  // The fact of `first` and `second`, whose cell in the grid is in row
  // `row` (the first number, or for '-' and '/' the right answer), added
  // without tries when it is new.
  Fact& fact_of(std::int64_t first, std::int64_t second, std::int64_t row);

 private:
  // The facts of the cells of the grid's numbers, 0 to kGridSide - 1, are
  // found by their cell: each slot of `cells_`, row by row, holds a place
  // in `facts` plus one, or 0 when empty. Every other fact is found in an
  // open-addressing table by its numbers, whose slots hold the same, kept
  // at most half full, so that a lookup mostly looks at one slot.
  static constexpr std::int64_t kGridSide = 21;
  std::vector<std::uint32_t> cells_;
  std::vector<std::uint32_t> slots_;
  std::size_t facts_in_table_ = 0;
  Fact& add_cell_fact(std::int64_t first, std::int64_t second, std::int64_t row);
  Fact& fact_in_table(std::int64_t first, std::int64_t second);
  Fact& add_fact(std::int64_t first, std::int64_t second, std::size_t at);
  void grow();
};

struct ChildFacts {
  std::string name;
  std::array<OperationFacts, records::kOperationKinds> operations;
  bool practised(records::Operation operation) const {
    return !operations[static_cast<int>(operation)].facts.empty();
  }
};

class FactBook {
 public:
  FactBook() = default;
  // Moved, not copied: it points into its own children.
  FactBook(FactBook&&) = default;
  FactBook& operator=(FactBook&&) = default;
  FactBook(const FactBook&) = delete;
  FactBook& operator=(const FactBook&) = delete;

  // Counts `answer` as a try of its fact.
  void add(const records::Answer& answer);

  // The children sorted by name (as bytes).
  std::vector<const ChildFacts*> children() const;
  // The child of that name, or null when none was read.
  const ChildFacts* child(std::string_view name) const;

 private:
  std::size_t child_place(std::string_view name);

  std::vector<ChildFacts> children_;
  std::unordered_map<std::string, std::size_t> by_name_;
  // The child of the last answer added; children_ grows only in
  // child_place(), after which this is set again.
  ChildFacts* last_child_ = nullptr;
  // The places of the children last looked up in the map, for child_place().
  std::array<std::size_t, 8> recent_children_{};
  std::size_t next_recent_ = 0;
};

// The most-missed order: fewest right among the last tries first, then
// most wrong answers in all, then the slowest median, then by numbers.
bool missed_before(const Fact& a, const Fact& b);

// The facts of `facts` in the most-missed order, at most `count` of them,
// among those not fluent.
std::vector<const Fact*> most_missed(const OperationFacts& facts, std::size_t count,
                                     std::uint32_t fluent_milliseconds);

}  // namespace progress

#endif  // PROGRESS_FACT_BOOK_H_
