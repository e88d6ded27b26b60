#include "text/fixed_text.h"

#include <gtest/gtest.h>

#include <array>
#include <string_view>

namespace text {
namespace {

constexpr std::string_view kHead = "Results: ";
constexpr std::string_view kEnd = "\r\n";

TEST(JoinedTest, PutsThePartsOneAfterAnother) {
  constexpr auto text = joined([] { return std::array{kEnd, kHead, std::string_view("20")}; });
  static_assert(text.size() == 13);
  EXPECT_EQ(text.view(), "\r\nResults: 20");
}

TEST(JoinedTest, LeavesOutEmptyParts) {
  constexpr auto text = joined([] { return std::array{std::string_view(), kHead}; });
  EXPECT_EQ(text.view(), kHead);
  constexpr auto nothing = joined([] { return std::array{std::string_view()}; });
  EXPECT_EQ(nothing.view(), "");
}

TEST(DecimalTextTest, WritesTheDigits) {
  EXPECT_EQ(decimal_text<0>().view(), "0");
  EXPECT_EQ(decimal_text<7>().view(), "7");
  EXPECT_EQ(decimal_text<20>().view(), "20");
  EXPECT_EQ(decimal_text<100>().view(), "100");
  EXPECT_EQ(decimal_text<18446744073709551615ull>().view(), "18446744073709551615");
}

}  // namespace
}  // namespace text
