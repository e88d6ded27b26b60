// The last few tests of one child, in order (test_order.h), however many are
// read and in whatever order they come: a bounded window, so memory stays
// the same for ten tests or ten million. Tests mostly arrive in order, so
// adding one is a store at the end of a ring; one that arrives out of order
// moves at most the window's length. The progress book keeps one per child
// for the table (the last 20) and the page (the last 100).
#ifndef PROGRESS_RECENT_TESTS_H_
#define PROGRESS_RECENT_TESTS_H_

#include <cstddef>
#include <vector>

#include "progress/test_order.h"

namespace progress {

class RecentTests {
 public:
  // Keeps up to `capacity` tests (at least 1).
  explicit RecentTests(std::size_t capacity);

  // Adds `test` when it is among the last `capacity` tests added so far,
  // dropping the earliest one when the window is full; otherwise drops
  // `test`.
  void add(const KeptTest& test);

  std::size_t size() const { return size_; }
  // The i-th of the kept tests, 0 being the earliest. i < size().
  const KeptTest& operator[](std::size_t i) const { return ring_[slot(i)]; }
  // The latest test. Not called when empty.
  const KeptTest& latest() const { return (*this)[size_ - 1]; }

 private:
  // The ring's slot of the i-th test, without a division: i < capacity.
  std::size_t slot(std::size_t i) const {
    const std::size_t at = head_ + i;
    return at < ring_.size() ? at : at - ring_.size();
  }
  KeptTest& at(std::size_t i) { return ring_[slot(i)]; }

  std::vector<KeptTest> ring_;
  std::size_t head_ = 0;
  std::size_t size_ = 0;
};

// The mean percent of the last `count` kept tests (all of them when fewer).
// 0 when there are none.
double mean_percent(const RecentTests& tests, std::size_t count);

// The median elapsed seconds of the last `count` kept tests (all of them
// when fewer): the middle value, or the mean of the two middle values. 0
// when there are none.
double median_seconds(const RecentTests& tests, std::size_t count);

}  // namespace progress

#endif  // PROGRESS_RECENT_TESTS_H_
