#include "text/fixed_text.h"

#include <gtest/gtest.h>

#include <array>
#include <string_view>

namespace text {
namespace {

constexpr std::string_view kHead = "Results: ";
constexpr std::string_view kEnd = "\r\n";

// Made at namespace scope, as the readers make theirs (Clang 14 fails on
// two of them in one function body).
constexpr auto kJoined = joined([] { return std::array{kEnd, kHead, std::string_view("20")}; });
constexpr auto kWithEmpty = joined([] { return std::array{std::string_view(""), kHead}; });
constexpr auto kNothing = joined([] { return std::array{std::string_view("")}; });

TEST(JoinedTest, PutsThePartsOneAfterAnother) {
  static_assert(kJoined.size() == 13);
  EXPECT_EQ(kJoined.view(), "\r\nResults: 20");
}

TEST(JoinedTest, LeavesOutEmptyParts) {
  EXPECT_EQ(kWithEmpty.view(), kHead);
  EXPECT_EQ(kNothing.view(), "");
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
