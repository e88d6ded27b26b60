#include "progress/progress_book.h"

#include <algorithm>

namespace progress {

namespace {

TestKey key_of(const records::LoggedTime& start);
template <typename Test>
void place(const Test& test, std::size_t limit, std::vector<Test>& tests, std::uint32_t& head);
template <typename Test>
void put_in_order(std::vector<Test>& tests, std::uint32_t& head);

}  // namespace

void ProgressBook::add(const records::LoggedTest& test) {
  ChildProgress& child = child_named(test.name);
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
                .right = test.right,
                .percent = test.percent};
  kept.elapsed_size =
      static_cast<std::uint8_t>(test.elapsed.copy(kept.elapsed_bytes, sizeof kept.elapsed_bytes));
  place(kept, keep_.tests, child.latest, child.latest_head);
}

std::vector<const ChildProgress*> ProgressBook::finish() {
  std::vector<const ChildProgress*> sorted;
  sorted.reserve(children_.size());
  for (auto& [name, child] : children_) {
    put_in_order(child.trend, child.trend_head);
    put_in_order(child.latest, child.latest_head);
    sorted.push_back(&child);
  }
  std::sort(sorted.begin(), sorted.end(),
            [](const ChildProgress* a, const ChildProgress* b) { return a->name < b->name; });
  return sorted;
}

// The child of that name, new if none is known yet. Its name is a view of
// the map's key, which stays where it is while the map grows.
ChildProgress& ProgressBook::child_named(std::string_view name) {
  auto found = children_.find(name);
  if (found == children_.end()) {
    found = children_.emplace(std::string(name), ChildProgress{}).first;
    found->second.name = found->first;
  }
  return found->second;
}

namespace {

// The starting time packed in order; the lowest key when it is unknown.
TestKey key_of(const records::LoggedTime& start) {
  if (!start.known()) return TestKey{};
  return {.year = start.year,
          .time_of_year =
              ((((start.month * 32u + start.day) * 32u + start.hour) * 64u + start.minute) * 64u) +
              start.second};
}

// Places `test` among the latest `tests`, at most `limit` of them held as a
// ring that starts at `head` (0 until it is full), after every test of the
// same or an earlier key. When the ring is full the earliest test makes
// room, or `test` is not kept when it is earlier than all of them. The
// storage grows as tests come, never past `limit`. Tests mostly come in key
// order, and such a test costs no move. Nothing is kept when `limit` is 0.
template <typename Test>
void place(const Test& test, std::size_t limit, std::vector<Test>& tests, std::uint32_t& head) {
  const std::size_t size = tests.size();
  if (limit == 0) return;
  const auto at = [&](std::size_t i) -> Test& { return tests[(head + i) % size]; };
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
  head = static_cast<std::uint32_t>((head + 1) % size);
  for (std::size_t i = size - 1; i >= position; --i) std::swap(at(i), at(i - 1));
}

// Turns the ring so that it starts at the start of the vector.
template <typename Test>
void put_in_order(std::vector<Test>& tests, std::uint32_t& head) {
  std::rotate(tests.begin(), tests.begin() + head, tests.end());
  head = 0;
}

}  // namespace

}  // namespace progress
