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

  // Takes one more try, placed among the kept ones by its place.
  void add(const Try& next);
  std::uint32_t wrong() const { return tries - right; }
  // How many of the last tries were right.
  int recent_right() const;
  // The median milliseconds of the last tries: the mean of two when two
  // are kept. 0 when none is.
  double median_milliseconds() const;
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

  // The fact of `first` and `second`, added without tries when it is new.
  Fact& fact_of(std::int64_t first, std::int64_t second);

 private:
  // An open-addressing table of the facts by their numbers: each slot
  // holds a place in `facts` plus one, or 0 when empty. Kept at most half
  // full, so that a lookup mostly looks at one slot.
  std::vector<std::uint32_t> slots_;
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
  std::size_t last_child_ = 0;  // the child of the last answer added
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
