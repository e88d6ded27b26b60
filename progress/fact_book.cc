#include "progress/fact_book.h"

#include <algorithm>
#include <bit>

#include "records/field_cursor.h"
#include "records/fingerprint.h"

namespace progress {

namespace {

std::size_t slot_of(std::int64_t first, std::int64_t second, std::size_t size);

}  // namespace

std::string_view status_name(FactStatus status) {
  switch (status) {
    case FactStatus::fluent:
      return "fluent";
    case FactStatus::learning:
      return "learning";
    case FactStatus::missed:
      return "missed";
  }
  return "missed";
}

// Places a try that add() did not: among fewer than kStatusTries kept
// ones, or earlier than the last kept.
void FactTries::add_in_place(Try next) {
  // The slot the try goes before: after every kept try of the same or an
  // earlier place, so that tries of one place keep the order read.
  int at = kept;
  while (at > 0 && last[at - 1].place > next.place) --at;
  if (kept < kStatusTries) {
    std::move_backward(last.begin() + at, last.begin() + kept, last.begin() + kept + 1);
    last[at] = next;
    ++kept;
  } else if (at > 0) {
    // Full: the earliest falls out and the try goes just before slot `at`.
    std::move(last.begin() + 1, last.begin() + at, last.begin());
    last[at - 1] = next;
  }  // else earlier than every kept try: counted, not kept
}

int FactTries::recent_right() const {
  return static_cast<int>(
      std::count_if(last.begin(), last.begin() + kept, [](const Try& t) { return t.right; }));
}

double FactTries::median_milliseconds() const {
  std::array<std::uint32_t, kStatusTries> times{};
  for (int i = 0; i < kept; ++i) times[i] = last[i].milliseconds;
  std::sort(times.begin(), times.begin() + kept);
  if (kept == 0) return 0;
  if (kept % 2 == 1) return times[kept / 2];
  return (static_cast<double>(times[kept / 2 - 1]) + times[kept / 2]) / 2;
}

FactStatus fact_status(const FactTries& tries, std::uint32_t fluent_milliseconds) {
  int right = 0;
  int quick = 0;
  for (int i = 0; i < tries.kept; ++i) {
    if (!tries.last[i].right) continue;
    ++right;
    if (tries.last[i].milliseconds <= fluent_milliseconds) ++quick;
  }
  if (quick >= 2) return FactStatus::fluent;
  return right >= 1 ? FactStatus::learning : FactStatus::missed;
}

void FactBook::add(const records::Answer& answer) {
  // A test's answers come together, so the child is mostly the last one's.
  if (last_child_ == nullptr || !records::same_text(last_child_->name, answer.name)) {
    last_child_ = &children_[child_place(answer.name)];
  }
  OperationFacts& facts = last_child_->operations[static_cast<int>(answer.operation)];
  facts.low = std::min(facts.low, answer.operations.low());
  facts.limit = std::max(facts.limit, answer.limit);
  const bool row_is_answer = answer.operation == records::Operation::subtraction ||
                             answer.operation == records::Operation::division;
  facts.fact_of(answer.first, answer.second, row_is_answer ? answer.correct : answer.first)
      .tries.add(Try{.place = answer.started_key * 32 + answer.problem,
                     .milliseconds = answer.milliseconds,
                     .right = answer.right});
}

// The place in children_ of the child `name`, added when new. Children
// mostly take turns, so the last few met are looked at first, in place,
// before the map, whose key is a string made for each lookup.
std::size_t FactBook::child_place(std::string_view name) {
  for (const std::size_t place : recent_children_) {
    if (place < children_.size() && records::same_text(children_[place].name, name)) return place;
  }
  const auto [found, inserted] = by_name_.try_emplace(std::string(name), children_.size());
  if (inserted) children_.push_back(ChildFacts{.name = std::string(name), .operations = {}});
  recent_children_[next_recent_] = found->second;
  next_recent_ = (next_recent_ + 1) % recent_children_.size();
  return found->second;
}

Fact& OperationFacts::fact_of(std::int64_t first, std::int64_t second, std::int64_t row) {
  // A cell's fact is the one fact of its operation with that row and column.
  const bool in_grid = row >= 0 && row < kGridSide && second >= 0 && second < kGridSide;
  if (in_grid && !cells_.empty()) {
    const std::uint32_t cell = cells_[static_cast<std::size_t>(row * kGridSide + second)];
    if (cell != 0) return facts[cell - 1];
  }
  return in_grid ? add_cell_fact(first, second, row) : fact_in_table(first, second);
}

// Adds the fact of `first` and `second` in the cell of row `row`, column
// `second`, which is empty. Kept apart from fact_of(): a fact is new far
// less often than it is found.
Fact& OperationFacts::add_cell_fact(std::int64_t first, std::int64_t second, std::int64_t row) {
  if (cells_.empty()) cells_.assign(kGridSide * kGridSide, 0);
  facts.push_back(Fact{.first = first, .second = second, .tries = {}});
  cells_[static_cast<std::size_t>(row * kGridSide + second)] =
      static_cast<std::uint32_t>(facts.size());
  return facts.back();
}

// The fact of `first` and `second` outside the grid's cells, from the
// open-addressing table, added when it is new.
Fact& OperationFacts::fact_in_table(std::int64_t first, std::int64_t second) {
  if (slots_.empty()) grow();
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t at = slot_of(first, second, slots_.size());; at = (at + 1) & mask) {
    const std::uint32_t place = slots_[at];
    if (place == 0) return add_fact(first, second, at);
    Fact& fact = facts[place - 1];
    if (fact.first == first && fact.second == second) return fact;
  }
}

// Adds the fact of `first` and `second` in the empty slot `at`, then grows
// the table when more than half of it is taken, so that every search meets
// an empty slot soon. Kept apart from fact_in_table(), whose search is taken for
// every answer: a fact is new far less often.
Fact& OperationFacts::add_fact(std::int64_t first, std::int64_t second, std::size_t at) {
  facts.push_back(Fact{.first = first, .second = second, .tries = {}});
  slots_[at] = static_cast<std::uint32_t>(facts.size());
  if (2 * ++facts_in_table_ > slots_.size()) grow();
  return facts.back();
}

// Doubles the table (to 16 slots at first) and puts its facts in again.
void OperationFacts::grow() {
  std::vector<std::uint32_t> old(std::max<std::size_t>(16, 2 * slots_.size()), 0);
  old.swap(slots_);
  const std::size_t mask = slots_.size() - 1;
  for (const std::uint32_t place : old) {
    if (place == 0) continue;
    const Fact& fact = facts[place - 1];
    std::size_t at = slot_of(fact.first, fact.second, slots_.size());
    while (slots_[at] != 0) at = (at + 1) & mask;
    slots_[at] = place;
  }
}

std::vector<const ChildFacts*> FactBook::children() const {
  std::vector<const ChildFacts*> sorted;
  for (const ChildFacts& child : children_) sorted.push_back(&child);
  std::sort(sorted.begin(), sorted.end(),
            [](const ChildFacts* a, const ChildFacts* b) { return a->name < b->name; });
  return sorted;
}

const ChildFacts* FactBook::child(std::string_view name) const {
  const auto found = by_name_.find(std::string(name));
  return found == by_name_.end() ? nullptr : &children_[found->second];
}

bool missed_before(const Fact& a, const Fact& b) {
  if (a.tries.recent_right() != b.tries.recent_right()) {
    return a.tries.recent_right() < b.tries.recent_right();
  }
  if (a.tries.wrong() != b.tries.wrong()) return a.tries.wrong() > b.tries.wrong();
  if (a.tries.median_milliseconds() != b.tries.median_milliseconds()) {
    return a.tries.median_milliseconds() > b.tries.median_milliseconds();
  }
  if (a.first != b.first) return a.first < b.first;
  return a.second < b.second;
}

std::vector<const Fact*> most_missed(const OperationFacts& facts, std::size_t count,
                                     std::uint32_t fluent_milliseconds) {
  std::vector<const Fact*> shown;
  for (const Fact& fact : facts.facts) {
    if (fact_status(fact.tries, fluent_milliseconds) != FactStatus::fluent) shown.push_back(&fact);
  }
  const std::size_t kept = std::min(count, shown.size());
  std::partial_sort(shown.begin(), shown.begin() + kept, shown.end(),
                    [](const Fact* a, const Fact* b) { return missed_before(*a, *b); });
  shown.resize(kept);
  return shown;
}

namespace {

// The first slot to look at for the fact of `first` and `second` in a
// table of `size` slots, a power of two: the two numbers (each of 32 bits,
// as answers hold them) side by side in one key, mixed by two multiplies,
// whose top bits are taken. One multiply alone leaves, for some
// multipliers, the small numbers of a child's facts crowded on few slots.
// The multiplier is drawn at random in each run, so that no one who writes
// an answers file can choose numbers that all land on one slot.
std::size_t slot_of(std::int64_t first, std::int64_t second, std::size_t size) {
  static const std::uint64_t kMultiplier = records::random_fingerprint_key().first | 1;
  const std::uint64_t key = (static_cast<std::uint64_t>(static_cast<std::uint32_t>(first)) << 32) |
                            static_cast<std::uint32_t>(second);
  std::uint64_t mixed = key * kMultiplier;
  mixed ^= mixed >> 32;
  return static_cast<std::size_t>((mixed * kMultiplier) >> (64 - std::countr_zero(size)));
}

}  // namespace

}  // namespace progress
