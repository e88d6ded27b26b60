#include "records/format.h"

#include <array>
#include <cstdint>

namespace records {

namespace {

// The first step of kGradeScale whose lowest percent `percent` reaches.
// Defined first: the table below is made from it when compiling.
constexpr std::size_t step_of(std::int32_t percent) {
  for (std::size_t step = 0; step + 1 < std::size(kGradeScale); ++step) {
    if (percent >= kGradeScale[step].lowest) return step;
  }
  return std::size(kGradeScale) - 1;
}

}  // namespace

std::string_view letter_grade(std::int32_t percent) {
  // The scores a test gives, 0 to 100, by a table made when compiling: the
  // readers ask for the grade of every test they read.
  static constexpr auto kStepOfPercent = [] {
    std::array<std::uint8_t, 101> steps{};
    for (std::int32_t score = 0; score <= 100; ++score) {
      steps[static_cast<std::size_t>(score)] = static_cast<std::uint8_t>(step_of(score));
    }
    return steps;
  }();
  if (percent >= 0 && percent <= 100) {
    return kGradeScale[kStepOfPercent[static_cast<std::size_t>(percent)]].letter;
  }
  return kGradeScale[step_of(percent)].letter;
}

}  // namespace records
