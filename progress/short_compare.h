// Equality of short byte strings, compared inline eight bytes at a time
// rather than by a call to memcmp: the block reader compares a site name and
// the progress book a child's name once for every test read, and such names
// are a few bytes long.
#ifndef PROGRESS_SHORT_COMPARE_H_
#define PROGRESS_SHORT_COMPARE_H_

#include <cstdint>
#include <cstring>
#include <string_view>

namespace progress {

inline bool same_bytes(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  std::size_t at = 0;
  for (; at + 8 <= a.size(); at += 8) {
    std::uint64_t x;
    std::uint64_t y;
    std::memcpy(&x, a.data() + at, 8);
    std::memcpy(&y, b.data() + at, 8);
    if (x != y) return false;
  }
  for (; at < a.size(); ++at) {
    if (a[at] != b[at]) return false;
  }
  return true;
}

}  // namespace progress

#endif  // PROGRESS_SHORT_COMPARE_H_
