#include "progress/test_order.h"

#include <cstring>

namespace progress {

TestOrder ChildTimeline::place(const LogTime& start) {
  TestOrder order = last_;
  if (start.known()) {
    order.year = start.year;
    order.time_of_year = start.time_of_year();
  }
  order.sequence = read_++;
  last_ = order;
  return order;
}

KeptTest keep_test(const LoggedTest& test, TestOrder order) {
  KeptTest kept;
  kept.order = order;
  kept.start = test.start;
  kept.seconds = test.elapsed_seconds;
  kept.rating = test.rating;
  kept.addend_limit = test.addend_limit;
  kept.right = static_cast<std::uint8_t>(test.right);
  kept.percent = static_cast<std::uint8_t>(test.percent);
  const std::string_view elapsed = test.elapsed_text();
  kept.elapsed_size = static_cast<std::uint8_t>(
      elapsed.size() < sizeof kept.elapsed_bytes ? elapsed.size() : sizeof kept.elapsed_bytes);
  std::memcpy(kept.elapsed_bytes, elapsed.data(), kept.elapsed_size);
  return kept;
}

}  // namespace progress
