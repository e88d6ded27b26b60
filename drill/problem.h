// One arithmetic problem: two random numbers a and b from fixed ranges, and
// the prompt and answer of each operation on them: the sum ("%2d + %2d = "
// of a and b), the difference ("%2d - %2d = " of a + b and b, whose answer
// is a), the product ("%2d x %2d = " of a and b) and the quotient
// ("%2d / %2d = " of a x b and b, whose answer is a). The drill driver holds
// one Problem for the whole run and calls next() after every answer.
#ifndef DRILL_PROBLEM_H_
#define DRILL_PROBLEM_H_

#include <cstdint>
#include <string_view>

#include "drill/random.h"
#include "records/operations.h"

namespace drill {

class Problem {
 public:
  // Room for two 11-character integers and the operator texts; the drill's
  // own ranges need at most 21 characters ("1073741824 / 32768 = ").
  static constexpr int kPromptRoom = 32;

  // Stores the ranges first_low..first_high and second_low..second_high and
  // the swap factor, then draws the first pair (three values from `random`).
  // The ranges are not checked: a low above its high gives the addends that
  // the remainder rule gives, and a range covering all 2^32 values takes the
  // drawn value itself, so no range divides by zero.
  Problem(std::int32_t first_low, std::int32_t first_high, std::int32_t second_low,
          std::int32_t second_high, std::int32_t swap_factor, RandomSource& random);

  // Draws a new pair, always three values.
  Problem& next();

  // A prompt as the drill shows it, with its own room.
  struct Prompt {
    char bytes[kPromptRoom];
    unsigned char size = 0;
    std::string_view view() const { return {bytes, size}; }
  };

  // The prompt of `operation` on the current pair.
  Prompt prompt(records::Operation operation) const;
  // Its answer, with 32-bit wrap-around (no range the drill draws from
  // needs it).
  std::int32_t answer(records::Operation operation) const;

  // The first number its prompt shows: the sum for subtraction, the product
  // for division, else the first number drawn. The second is always
  // second_number().
  std::int32_t shown_first(records::Operation operation) const;

  std::int32_t first_number() const { return first_; }
  std::int32_t second_number() const { return second_; }

 private:
  std::int32_t first_ = 0;
  std::int32_t second_ = 0;
  std::int32_t first_low_;
  std::int32_t first_high_;
  std::int32_t second_low_;
  std::int32_t second_high_;
  std::int32_t swap_factor_;
  RandomSource& random_;
};

}  // namespace drill

#endif  // DRILL_PROBLEM_H_
