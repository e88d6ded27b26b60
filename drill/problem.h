// One arithmetic problem: two random addends from fixed ranges and the two
// prompts built from them, one asking for the sum ("%2d + %2d = ") and one
// for a difference ("%2d - %2d = ", whose answer is the first addend). The
// drill driver holds one Problem for the whole run and calls next() after
// every answer.
#ifndef DRILL_PROBLEM_H_
#define DRILL_PROBLEM_H_

#include <cstdint>
#include <string_view>

#include "drill/random.h"

namespace drill {

class Problem {
 public:
  // Stores the ranges first_low..first_high and second_low..second_high and
  // the swap factor, then draws the first pair (three values from `random`).
  // The ranges are not checked: a low above its high gives the addends that
  // the remainder rule gives, and a range covering all 2^32 values takes the
  // drawn value itself, so no range divides by zero.
  Problem(std::int32_t first_low, std::int32_t first_high, std::int32_t second_low,
          std::int32_t second_high, std::int32_t swap_factor, RandomSource& random);

  // Draws a new pair, always three values, and rebuilds both prompts.
  Problem& next();

  std::string_view sum_prompt() const { return {sum_prompt_, sum_prompt_size_}; }
  std::string_view difference_prompt() const {
    return {difference_prompt_, difference_prompt_size_};
  }
  std::int32_t first_addend() const { return first_addend_; }
  std::int32_t second_addend() const { return second_addend_; }
  // The answers to the two prompts, with 32-bit wrap-around.
  std::int32_t sum() const;
  std::int32_t difference() const { return first_addend_; }

 private:
  // Room for two 11-character integers and the operator texts; the drill's
  // own ranges need at most 16 characters ("65534 - 32767 = ").
  static constexpr int kPromptRoom = 32;

  char sum_prompt_[kPromptRoom];
  char difference_prompt_[kPromptRoom];
  unsigned char sum_prompt_size_ = 0;
  unsigned char difference_prompt_size_ = 0;
  std::int32_t first_addend_ = 0;
  std::int32_t second_addend_ = 0;
  std::int32_t first_low_;
  std::int32_t first_high_;
  std::int32_t second_low_;
  std::int32_t second_high_;
  std::int32_t swap_factor_;
  RandomSource& random_;
};

}  // namespace drill

#endif  // DRILL_PROBLEM_H_
