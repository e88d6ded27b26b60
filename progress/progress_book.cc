#include "progress/progress_book.h"

#include <algorithm>

namespace progress {

namespace {

TestKey key_of(const text::CivilTime& start);
std::string kind_order(records::Operations operations);
template <typename Test>
void place(const Test& test, std::size_t limit, GrowingArray<Test>& tests, std::uint32_t& head);
template <typename Test>
void put_in_order(GrowingArray<Test>& tests, std::uint32_t& head);
void sort_by_key(GrowingArray<KeptTest>& tests);

}  // namespace

void ProgressBook::add(const records::LoggedTest& test) {
  ChildProgress& child = child_named(test.name, test.operations);
  if (child.tests == 0 || child.file != file_) {
    child.file = file_;
    child.file_key = TestKey{};
  }
  // A test logged after another of the same file was taken after it.
  const TestKey key = std::max(key_of(test.start), child.file_key);
  child.file_key = key;
  if (child.tests == 0 || key < child.first_key) {
    child.first_key = key;
    child.first_start = test.start;
  }
  if (child.tests == 0 || key >= child.last_key) {
    child.last_key = key;
    child.last_start = test.start;
  }
  child.best_percent = std::max(child.best_percent, test.percent);
  ++child.tests;
  place(TrendTest{.key = key, .seconds = test.elapsed_seconds, .percent = test.percent},
        keep_.trend, child.trend, child.trend_head);
  if (keep_.tests == 0) return;
  KeptTest kept{.key = key,
                .start = test.start,
                .seconds = test.elapsed_seconds,
                .rating = test.rating,
                .addend_limit = test.addend_limit,
                .operations = test.operations,
                .right = static_cast<std::uint8_t>(test.right),
                .percent = static_cast<std::uint8_t>(test.percent)};
  kept.elapsed_size =
      static_cast<std::uint8_t>(test.elapsed.copy(kept.elapsed_bytes, sizeof kept.elapsed_bytes));
  if (keep_.tests == kAllTests) {
    // Every test is kept: put in order once, by finish(), so that files
    // named newest first cost no more than in order. Whether that takes a
    // sort is seen here, where the last test is at hand.
    if (!child.latest.empty() && key < child.latest.back().key) child.latest_unordered = true;
    child.latest.push_back(kept);
    return;
  }
  place(kept, keep_.tests, child.latest, child.latest_head);
}

std::vector<const ChildProgress*> ProgressBook::finish() {
  std::vector<const ChildProgress*> sorted;
  sorted.reserve(children_.size());
  for (auto& [name, child] : children_) {
    put_in_order(child.trend, child.trend_head);
    put_in_order(child.latest, child.latest_head);
    if (child.latest_unordered) sort_by_key(child.latest);
    sorted.push_back(&child);
  }
  std::sort(sorted.begin(), sorted.end(), [](const ChildProgress* a, const ChildProgress* b) {
    if (a->name != b->name) return a->name < b->name;
    return kind_order(a->operations) < kind_order(b->operations);
  });
  return sorted;
}

std::vector<ChildProgress> split_by_kind(const ChildProgress& child, std::size_t window) {
  std::vector<ChildProgress> kinds;
  for (const KeptTest& test : child.latest) {
    auto kind = std::find_if(kinds.begin(), kinds.end(), [&](const ChildProgress& k) {
      return k.operations == test.operations;
    });
    if (kind == kinds.end()) {
      kind = kinds.insert(kinds.end(), ChildProgress{.name = child.name,
                                                     .operations = test.operations,
                                                     .first_start = test.start});
    }
    ++kind->tests;
    kind->last_start = test.start;
    kind->best_percent = std::max(kind->best_percent, int{test.percent});
    place(test, window, kind->latest, kind->latest_head);
  }
  for (ChildProgress& kind : kinds) put_in_order(kind.latest, kind.latest_head);
  std::sort(kinds.begin(), kinds.end(), [](const ChildProgress& a, const ChildProgress& b) {
    return kind_order(a.operations) < kind_order(b.operations);
  });
  return kinds;
}

// The child of that name, and of those operations when kinds are kept
// apart; new if none is known yet. Children mostly take turns: the child
// whose test came after the last child's the last time is looked at first.
ChildProgress& ProgressBook::child_named(std::string_view name, records::Operations operations) {
  ChildProgress* child = last_ != nullptr ? last_->next_guess : nullptr;
  if (child == nullptr || !is_named(*child, name, operations)) child = &look_up(name, operations);
  if (last_ != nullptr) last_->next_guess = child;
  last_ = child;
  return *child;
}

// The child found by name, among the children found last and then in the
// map. The map's key is the name, then when kinds are kept apart a NUL
// (which no name holds) and the operations' signs. The child's name is a
// view of the key, which stays where it is while the map grows.
ChildProgress& ProgressBook::look_up(std::string_view name, records::Operations operations) {
  for (ChildProgress* recent : recent_) {
    if (recent != nullptr && is_named(*recent, name, operations)) return *recent;
  }
  key_.assign(name);
  if (keep_.by_kind) {
    key_.push_back('\0');
    key_.append(records::signs(operations).view());
  }
  auto found = children_.find(key_);
  if (found == children_.end()) {
    found = children_.emplace(key_, ChildProgress{.operations = operations}).first;
    found->second.name = std::string_view(found->first).substr(0, name.size());
  }
  recent_[next_recent_] = &found->second;
  next_recent_ = (next_recent_ + 1) % kRecent;
  return found->second;
}

// Whether `child` is the child of that name (and of those operations when
// kinds are kept apart). Names mostly differ in their first byte: that is
// looked at before the whole names are compared.
bool ProgressBook::is_named(const ChildProgress& child, std::string_view name,
                            records::Operations operations) const {
  return child.name.size() == name.size() && (name.empty() || child.name.front() == name.front()) &&
         child.name == name && (!keep_.by_kind || child.operations == operations);
}

namespace {

// The starting time packed in order; the lowest key when it is unknown.
TestKey key_of(const text::CivilTime& start) {
  if (!start.known()) return TestKey{};
  return {.year = start.year,
          .time_of_year =
              ((((start.month * 32u + start.day) * 32u + start.hour) * 64u + start.minute) * 64u) +
              start.second};
}

// The operations as a text that sorts them like their signs in a
// dictionary: the digit of each operation's place in canonical order, so
// "+" ("0") sorts before "+-" ("01"), "+-x" ("012") and "-" ("1").
std::string kind_order(records::Operations operations) {
  std::string order;
  for (int index = 0; index < operations.count(); ++index) {
    order.push_back(static_cast<char>('0' + static_cast<int>(operations.at(index))));
  }
  return order;
}

// Places `test` among the latest `tests`, at most `limit` of them held as a
// ring that starts at `head` (0 until it is full), after every test of the
// same or an earlier key. When the ring is full the earliest test makes
// room, or `test` is not kept when it is earlier than all of them. The
// storage grows as tests come, never past `limit`. Tests mostly come in key
// order, and such a test costs no move. Nothing is kept when `limit` is 0.
template <typename Test>
void place(const Test& test, std::size_t limit, GrowingArray<Test>& tests, std::uint32_t& head) {
  const std::size_t size = tests.size();
  if (limit == 0) return;
  // The ring's i-th test (head and i are less than size: no division).
  const auto at = [&](std::size_t i) -> Test& {
    const std::size_t index = head + i;
    return tests[index < size ? index : index - size];
  };
  // The first test later than `test`, or the end.
  std::size_t position = size;
  if (size > 0 && test.key < at(size - 1).key) {
    std::size_t low = 0;
    position = size - 1;
    while (low < position) {
      const std::size_t middle = low + (position - low) / 2;
      if (test.key < at(middle).key) {
        position = middle;
      } else {
        low = middle + 1;
      }
    }
  }
  if (size < limit) {
    if (tests.size() == tests.capacity())
      tests.reserve(std::min(limit, std::max<std::size_t>(1, 2 * size)));
    tests.push_back(test);
    std::rotate(tests.begin() + static_cast<std::ptrdiff_t>(position), tests.end() - 1,
                tests.end());
    return;
  }
  if (position == 0) return;
  // The earliest test's slot becomes the latest, and `test` moves down
  // from there past the tests later than it.
  tests[head] = test;
  head = head + 1 < size ? head + 1 : 0;
  for (std::size_t i = size - 1; i >= position; --i) std::swap(at(i), at(i - 1));
}

// Turns the ring so that it starts at the start of the array: the ring is
// in key order from its head.
template <typename Test>
void put_in_order(GrowingArray<Test>& tests, std::uint32_t& head) {
  std::rotate(tests.begin(), tests.begin() + head, tests.end());
  head = 0;
}

// Puts tests kept whole, which came out of order, in key order, those of one
// key in the order they came: O(n log n) whatever the order of the files.
void sort_by_key(GrowingArray<KeptTest>& tests) {
  std::stable_sort(tests.begin(), tests.end(),
                   [](const KeptTest& a, const KeptTest& b) { return a.key < b.key; });
}

}  // namespace

}  // namespace progress
