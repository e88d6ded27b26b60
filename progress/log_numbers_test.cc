#include "progress/log_numbers.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string_view>

namespace progress {
namespace {

struct DecimalCase {
  std::string_view text;
  bool valid = false;
  std::int64_t value = 0;
  std::int64_t min = -2147483648LL;  // the range asked for
  std::int64_t max = 2147483647LL;
};

TEST(ParseDecimalTest, ReadsOnlyWhatPrintfWrites) {
  const DecimalCase cases[] = {
      {.text = "0", .valid = true, .value = 0},
      {.text = "7", .valid = true, .value = 7},
      {.text = "-5", .valid = true, .value = -5},
      {.text = "2147483647", .valid = true, .value = 2147483647},
      {.text = "-2147483648", .valid = true, .value = -2147483648LL},
      {.text = "2147483648"},   // past the range asked for
      {.text = "-2147483649"},  // likewise
      {.text = ""},
      {.text = "-"},
      {.text = "+1"},
      {.text = "-0"},
      {.text = "007"},
      {.text = " 1"},
      {.text = "1 "},
      {.text = "1x"},
      {.text = "--1"},
      {.text = "1-"},
      {.text = "9999999999999999999999"},  // would overflow
      {.text = "20", .valid = true, .value = 20, .min = 0, .max = 20},
      {.text = "21", .min = 0, .max = 20},
      {.text = "-1", .min = 0, .max = 20},
  };
  for (const DecimalCase& c : cases) {
    std::int64_t value = 12345;
    EXPECT_EQ(parse_decimal(c.text, c.min, c.max, &value), c.valid) << c.text;
    EXPECT_EQ(value, c.valid ? c.value : 12345) << c.text;
  }
}

struct ElapsedCase {
  std::string_view text;
  bool valid = false;
  double seconds = 0;
};

TEST(ParseElapsedTest, ReadsPercentGOfWholeSeconds) {
  const ElapsedCase cases[] = {
      {.text = "0", .valid = true, .seconds = 0},
      {.text = "95", .valid = true, .seconds = 95},
      {.text = "-5", .valid = true, .seconds = -5},
      {.text = "999999", .valid = true, .seconds = 999999},
      {.text = "1e+06", .valid = true, .seconds = 1e6},
      {.text = "-1e+06", .valid = true, .seconds = -1e6},
      {.text = "1.23457e+06", .valid = true, .seconds = 1234570},
      {.text = "9.99999e+18", .valid = true, .seconds = 9.99999e18},
      {.text = "1e+100", .valid = true, .seconds = 1e100},
      {.text = "1000000"},  // "%g" switches to the exponent at a million
      {.text = "-0"},
      {.text = "095"},
      {.text = "95.0"},
      {.text = "1e+05"},  // below a million "%g" writes digits
      {.text = "1e6"},
      {.text = "1e+6"},
      {.text = "1e-06"},
      {.text = "1.e+06"},
      {.text = "1.50e+06"},      // "%g" drops trailing zeros
      {.text = "1.234567e+06"},  // six significant digits at most
      {.text = "0.5e+06"},
      {.text = "12e+06"},
      {.text = "1e+006"},
      {.text = "2e+308"},  // beyond the largest double
      {.text = "inf"},
      {.text = "nan"},
      {.text = ""},
      {.text = "-"},
  };
  for (const ElapsedCase& c : cases) {
    double seconds = -42;
    EXPECT_EQ(parse_elapsed(c.text, &seconds), c.valid) << c.text;
    if (c.valid) {
      EXPECT_DOUBLE_EQ(seconds, c.seconds) << c.text;
    } else {
      EXPECT_EQ(seconds, -42) << c.text;
    }
  }
}

}  // namespace
}  // namespace progress
