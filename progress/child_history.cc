#include "progress/child_history.h"

#include <algorithm>

namespace progress {

void ChildHistory::add(const LoggedTest& test) {
  if (test.name() != name_) return;
  const KeptTest kept = keep_test(test, timeline_.place(test.start));
  if (!tests_.empty() && kept.order < tests_.back().order) sorted_ = false;
  tests_.push_back(kept);
}

const std::deque<KeptTest>& ChildHistory::tests() {
  if (!sorted_) {
    std::sort(tests_.begin(), tests_.end(),
              [](const KeptTest& a, const KeptTest& b) { return a.order < b.order; });
    sorted_ = true;
  }
  return tests_;
}

}  // namespace progress
