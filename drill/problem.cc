#include "drill/problem.h"

#include <cstring>

#include "text/number_format.h"

namespace drill {

namespace {

std::int32_t wrapping_add(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

std::int32_t wrapping_multiply(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) * static_cast<std::uint32_t>(b));
}

// low + r % (high - low + 1), in wrapping 32-bit arithmetic. The remainder
// truncates toward zero. When the range size wraps to 0 the range holds all
// 2^32 values and r is taken as it is.
std::int32_t draw_in_range(std::int32_t low, std::int32_t high, std::int32_t r) {
  auto size = static_cast<std::int32_t>(static_cast<std::uint32_t>(high) -
                                        static_cast<std::uint32_t>(low) + 1u);
  // r is 0..32767, so r % size never overflows, even for size -1.
  return wrapping_add(low, size == 0 ? r : r % size);
}

// Builds "%2d<op>%2d = " into `out` and returns its length.
unsigned char build_prompt(char* out, std::int32_t left, char sign, std::int32_t right) {
  char* start = out;
  auto put_padded = [&out](std::int32_t value) {
    text::NumberText text = text::format_integer(value);
    if (text.size < 2) *out++ = ' ';
    std::memcpy(out, text.bytes, text.size);
    out += text.size;
  };
  put_padded(left);
  *out++ = ' ';
  *out++ = sign;
  *out++ = ' ';
  put_padded(right);
  std::memcpy(out, " = ", 3);
  out += 3;
  return static_cast<unsigned char>(out - start);
}

}  // namespace

Problem::Problem(std::int32_t first_low, std::int32_t first_high, std::int32_t second_low,
                 std::int32_t second_high, std::int32_t swap_factor, RandomSource& random)
    : first_low_(first_low),
      first_high_(first_high),
      second_low_(second_low),
      second_high_(second_high),
      swap_factor_(swap_factor),
      random_(random) {
  next();
}

Problem& Problem::next() {
  first_ = draw_in_range(first_low_, first_high_, random_.next_value());
  second_ = draw_in_range(second_low_, second_high_, random_.next_value());
  // (r3 * swap factor) % 2 != 0 exactly when the wrapped product is odd.
  std::uint32_t r3 = static_cast<std::uint32_t>(random_.next_value());
  if ((r3 * static_cast<std::uint32_t>(swap_factor_)) % 2 != 0) {
    std::int32_t first = first_;
    first_ = second_;
    second_ = first;
  }
  return *this;
}

Problem::Prompt Problem::prompt(records::Operation operation) const {
  using records::Operation;
  Prompt prompt;
  prompt.size =
      build_prompt(prompt.bytes, shown_first(operation), records::sign(operation), second_);
  return prompt;
}

// Subtraction and division show the sum and the product, so that the
// answer is the first number drawn.
std::int32_t Problem::shown_first(records::Operation operation) const {
  using records::Operation;
  if (operation == Operation::subtraction) return wrapping_add(first_, second_);
  if (operation == Operation::division) return wrapping_multiply(first_, second_);
  return first_;
}

std::int32_t Problem::answer(records::Operation operation) const {
  using records::Operation;
  switch (operation) {
    case Operation::addition:
      return wrapping_add(first_, second_);
    case Operation::multiplication:
      return wrapping_multiply(first_, second_);
    case Operation::subtraction:
    case Operation::division:
      break;
  }
  return first_;
}

}  // namespace drill
