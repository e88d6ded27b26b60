#include "progress/trend.h"

#include <algorithm>
#include <string_view>

namespace progress {

namespace {

// U+2581..U+2588, three bytes each in UTF-8.
constexpr std::string_view kBlocks = "▁▂▃▄▅▆▇█";

}  // namespace

std::string trend_line(const RecentTests& tests, std::size_t count, bool utf8) {
  const std::size_t n = std::min(count, tests.size());
  std::string line;
  for (std::size_t i = tests.size() - n; i < tests.size(); ++i) {
    const int percent = std::clamp<int>(tests[i].percent, 0, 100);
    if (utf8) {
      // The nearest of the eight heights: 0..100 onto 0..7.
      const std::size_t level = static_cast<std::size_t>((percent * 7 + 50) / 100);
      line.append(kBlocks.substr(level * 3, 3));
    } else {
      line.push_back(static_cast<char>('0' + std::min(percent / 10, 9)));
    }
  }
  return line;
}

}  // namespace progress
