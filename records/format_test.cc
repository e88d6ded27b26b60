#include "records/format.h"

#include <gtest/gtest.h>

namespace records {
namespace {

TEST(LetterGrade, FollowsTheScaleAtEveryBoundary) {
  struct Case {
    std::int32_t percent;
    std::string_view grade;
  };
  const Case cases[] = {
      {.percent = 100, .grade = "A+"},
      {.percent = 98, .grade = "A+"},
      {.percent = 97, .grade = "A"},
      {.percent = 90, .grade = "A"},
      {.percent = 89, .grade = "B+"},
      {.percent = 88, .grade = "B+"},
      {.percent = 87, .grade = "B"},
      {.percent = 80, .grade = "B"},
      {.percent = 79, .grade = "C+"},
      {.percent = 78, .grade = "C+"},
      {.percent = 77, .grade = "C"},
      {.percent = 70, .grade = "C"},
      {.percent = 69, .grade = "D+"},
      {.percent = 68, .grade = "D+"},
      {.percent = 67, .grade = "D"},
      {.percent = 60, .grade = "D"},
      {.percent = 59, .grade = "F"},
      {.percent = 0, .grade = "F"},
      {.percent = -2147483647 - 1, .grade = "F"},
  };
  for (const Case& c : cases) EXPECT_EQ(letter_grade(c.percent), c.grade) << c.percent;
}

}  // namespace
}  // namespace records
