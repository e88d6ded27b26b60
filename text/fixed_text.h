// Texts put together when compiling: FixedText holds bytes known to the
// compiler, so that code comparing input against them (the block reader's
// whole-block fast path) unrolls into a few word compares instead of loops
// over texts read at run time. joined() builds one from parts, and
// decimal_text() writes a number's digits.
#ifndef TEXT_FIXED_TEXT_H_
#define TEXT_FIXED_TEXT_H_

#include <cstddef>
#include <string_view>

namespace text {

// N bytes, with no terminating NUL.
template <std::size_t N>
struct FixedText {
  char bytes[N > 0 ? N : 1] = {};

  static constexpr std::size_t size() { return N; }
  constexpr std::string_view view() const { return std::string_view(bytes, N); }
};

// The texts that `parts` returns (a lambda without captures returning an
// array of std::string_view, or anything else that can be iterated), one
// after another. Only when compiling: every part must be a constant.
template <typename Parts>
consteval auto joined(Parts) {
  constexpr std::size_t size = [] {
    std::size_t total = 0;
    for (const std::string_view part : Parts{}()) total += part.size();
    return total;
  }();
  FixedText<size> text;
  std::size_t at = 0;
  for (const std::string_view part : Parts{}()) {
    for (const char c : part) text.bytes[at++] = c;
  }
  return text;
}

// The decimal digits of `kValue`, which is not negative.
template <unsigned long long kValue>
consteval auto decimal_text() {
  constexpr std::size_t size = [] {
    std::size_t digits = 1;
    for (unsigned long long rest = kValue; rest >= 10; rest /= 10) ++digits;
    return digits;
  }();
  FixedText<size> text;
  unsigned long long rest = kValue;
  for (std::size_t at = size; at-- > 0; rest /= 10)
    text.bytes[at] = static_cast<char>('0' + rest % 10);
  return text;
}

}  // namespace text

#endif  // TEXT_FIXED_TEXT_H_
