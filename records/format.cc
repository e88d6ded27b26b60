#include "records/format.h"

namespace records {

std::string_view letter_grade(std::int32_t percent) {
  for (const GradeStep& step : kGradeScale) {
    if (percent >= step.lowest) return step.letter;
  }
  return kGradeScale[std::size(kGradeScale) - 1].letter;
}

}  // namespace records
