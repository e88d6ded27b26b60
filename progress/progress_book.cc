#include "progress/progress_book.h"

#include <algorithm>

namespace progress {

namespace {

TestOrder place(const records::LoggedTime& start, TestOrder after, std::uint64_t sequence);

}  // namespace

void ProgressBook::add(const records::LoggedTest& test) {
  ChildProgress& child = child_named(test.name);
  const TestOrder order = place(test.start, child.last_read, child.tests);
  child.last_read = order;
  if (child.tests == 0 || order < child.first_order) {
    child.first_order = order;
    child.first_start = test.start;
  }
  child.best_percent = std::max(child.best_percent, test.percent);
  ++child.tests;
  // A test earlier than every test of a full window is not among the
  // latest. Tests mostly come in order; those that do not are put in order
  // when the tests are trimmed to the window, once there are twice as many,
  // so that each trim pays for many tests.
  std::vector<KeptTest>& latest = child.latest;
  if (child.in_order && latest.size() >= window_ && order < latest[latest.size() - window_].order) {
    return;
  }
  if (!latest.empty() && order < latest.back().order) child.in_order = false;
  KeptTest& kept = latest.emplace_back(KeptTest{.order = order,
                                                .start = test.start,
                                                .seconds = test.elapsed_seconds,
                                                .rating = test.rating,
                                                .addend_limit = test.addend_limit,
                                                .right = test.right,
                                                .percent = test.percent});
  kept.elapsed_size =
      static_cast<std::uint8_t>(test.elapsed.copy(kept.elapsed_bytes, sizeof kept.elapsed_bytes));
  if (window_ != kAllTests && latest.size() >= 2 * window_) keep_latest(child);
}

std::vector<const ChildProgress*> ProgressBook::finish() {
  std::vector<const ChildProgress*> sorted;
  sorted.reserve(children_.size());
  for (auto& [name, child] : children_) {
    keep_latest(child);
    sorted.push_back(&child);
  }
  std::sort(sorted.begin(), sorted.end(),
            [](const ChildProgress* a, const ChildProgress* b) { return a->name < b->name; });
  return sorted;
}

// The child of that name, new if none is known yet.
ChildProgress& ProgressBook::child_named(std::string_view name) {
  auto found = children_.find(name);
  if (found == children_.end()) {
    found = children_.emplace(std::string(name), ChildProgress{.name = std::string(name)}).first;
  }
  return found->second;
}

// Puts the child's latest tests in order and drops all but `window_` of
// them.
void ProgressBook::keep_latest(ChildProgress& child) const {
  std::vector<KeptTest>& tests = child.latest;
  if (!child.in_order) {
    std::sort(tests.begin(), tests.end(),
              [](const KeptTest& a, const KeptTest& b) { return a.order < b.order; });
    child.in_order = true;
  }
  if (tests.size() > window_) tests.erase(tests.begin(), tests.end() - window_);
}

namespace {

// The place of the child's test read as its `sequence`-th, which started at
// `start`; a test of unknown time takes the place of the one read before
// it, `after`.
TestOrder place(const records::LoggedTime& start, TestOrder after, std::uint64_t sequence) {
  TestOrder order = after;
  if (start.known()) {
    order.year = start.year;
    order.time_of_year =
        ((((start.month * 32u + start.day) * 32u + start.hour) * 64u + start.minute) * 64u) +
        start.second;
  }
  order.sequence = sequence;
  return order;
}

}  // namespace

}  // namespace progress
