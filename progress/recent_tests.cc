#include "progress/recent_tests.h"

#include <algorithm>

namespace progress {

RecentTests::RecentTests(std::size_t capacity) : ring_(capacity == 0 ? 1 : capacity) {}

void RecentTests::add(const KeptTest& test) {
  const std::size_t capacity = ring_.size();
  if (size_ == capacity) {
    if (test.order < (*this)[0].order) return;
    // Drop the earliest: the ring's head moves on by one.
    head_ = slot(1);
    --size_;
  }
  // Move later tests up one place, then store the test in the gap.
  std::size_t place = size_;
  while (place > 0 && test.order < (*this)[place - 1].order) {
    at(place) = (*this)[place - 1];
    --place;
  }
  at(place) = test;
  ++size_;
}

double mean_percent(const RecentTests& tests, std::size_t count) {
  const std::size_t n = std::min(count, tests.size());
  if (n == 0) return 0;
  double sum = 0;
  for (std::size_t i = tests.size() - n; i < tests.size(); ++i) sum += tests[i].percent;
  return sum / static_cast<double>(n);
}

double median_seconds(const RecentTests& tests, std::size_t count) {
  const std::size_t n = std::min(count, tests.size());
  if (n == 0) return 0;
  std::vector<double> seconds;
  seconds.reserve(n);
  for (std::size_t i = tests.size() - n; i < tests.size(); ++i) seconds.push_back(tests[i].seconds);
  std::sort(seconds.begin(), seconds.end());
  return n % 2 != 0 ? seconds[n / 2] : (seconds[n / 2 - 1] + seconds[n / 2]) / 2;
}

}  // namespace progress
