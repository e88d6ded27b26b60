// Every test of one child, in order (test_order.h), for the --child listing
// and that child's chart. It keeps all of that child's tests and nothing of
// the others, so memory grows with the one child's tests only; they are kept
// in pieces (a deque), so growing never needs room for them twice.
#ifndef PROGRESS_CHILD_HISTORY_H_
#define PROGRESS_CHILD_HISTORY_H_

#include <deque>
#include <string>
#include <string_view>

#include "progress/block_format.h"
#include "progress/test_order.h"

namespace progress {

class ChildHistory {
 public:
  explicit ChildHistory(std::string name) : name_(std::move(name)) {}

  // Keeps `test` when it is the child's; ignores it otherwise.
  void add(const LoggedTest& test);

  // The child's tests, earliest first.
  const std::deque<KeptTest>& tests();

  const std::string& name() const { return name_; }

 private:
  std::string name_;
  ChildTimeline timeline_;
  std::deque<KeptTest> tests_;
  bool sorted_ = true;
};

}  // namespace progress

#endif  // PROGRESS_CHILD_HISTORY_H_
