#include "text/number_format.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>

namespace text {
namespace {

TEST(NumberFormat, IntegersInPlainDecimal) {
  EXPECT_EQ(format_integer(0).view(), "0");
  EXPECT_EQ(format_integer(-7).view(), "-7");
  EXPECT_EQ(format_integer(2147483647).view(), "2147483647");
  EXPECT_EQ(format_integer(INT64_MIN).view(), "-9223372036854775808");
}

// Floating output agrees with printf's "%g" for whole seconds of every size,
// including rounding ties (to the even digit), a carry into the exponent, and
// either side of 2^64, where whole numbers stop being formatted in integers.
TEST(NumberFormat, GeneralFormatMatchesPrintf) {
  const double values[] = {0,
                           5,
                           488,
                           999999,
                           1000000,
                           1234567,
                           -5,
                           100000,
                           1e7,
                           123456789,
                           -1e6,
                           2147483647.0,
                           -2147483648.0,
                           4294967295.0,
                           9.2233720368547758e18,
                           0.5,
                           1e-5,
                           1234565,
                           1234575,
                           1234566,
                           9999995,
                           99999950,
                           -0.0,
                           18446744073709549568.0,
                           18446744073709551616.0,
                           1e300};
  for (double value : values) {
    char expected[64];
    std::snprintf(expected, sizeof expected, "%g", value);
    EXPECT_EQ(format_general(value).view(), expected) << value;
  }
  EXPECT_EQ(format_general(1234567).view(), "1.23457e+06");
  EXPECT_EQ(format_general(1000000).view(), "1e+06");
}

// Whole numbers of every magnitude up to 2^63, both signs: the integer path
// must round exactly as printf does.
TEST(NumberFormat, WholeNumbersOfEveryMagnitudeMatchPrintf) {
  std::uint64_t state = 88172645463325252u;  // xorshift64
  for (int i = 0; i < 200000; ++i) {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    const int bits = static_cast<int>(state % 63) + 1;
    const double value = static_cast<double>(static_cast<std::int64_t>(state >> (64 - bits))) *
                         ((state & 1) != 0 ? -1 : 1);
    char expected[64];
    std::snprintf(expected, sizeof expected, "%g", value);
    ASSERT_EQ(format_general(value).view(), expected) << value;
  }
}

}  // namespace
}  // namespace text
