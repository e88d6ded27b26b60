#include "text/utf8.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string_view>

namespace text {
namespace {

struct Utf8Case {
  std::string_view text;
  Utf8Character first;  // the character read at its start
};

TEST(ReadUtf8Test, ReadsACharacterOrTheBytesOfOneReplacement) {
  const Utf8Case cases[] = {
      {.text = "A", .first = {.code_point = 'A', .length = 1, .valid = true}},
      {.text = "\xc3\xab", .first = {.code_point = 0xEB, .length = 2, .valid = true}},
      {.text = "李", .first = {.code_point = 0x674E, .length = 3, .valid = true}},
      {.text = "𝄞", .first = {.code_point = 0x1D11E, .length = 4, .valid = true}},
      {.text = "\xf4\x8f\xbf\xbf", .first = {.code_point = 0x10FFFF, .length = 4, .valid = true}},
      {.text = "\xc2\x9b", .first = {.code_point = 0x9B, .length = 2, .valid = true}},
      // Not UTF-8: the first byte, and how many bytes one replacement takes.
      {.text = "\x9b", .first = {.code_point = 0x9B, .length = 1, .valid = false}},
      {.text = "\xff", .first = {.code_point = 0xFF, .length = 1, .valid = false}},
      {.text = "\xc0\xaf", .first = {.code_point = 0xC0, .length = 1, .valid = false}},
      {.text = "\xc3", .first = {.code_point = 0xC3, .length = 1, .valid = false}},
      {.text = "\xc3z", .first = {.code_point = 0xC3, .length = 1, .valid = false}},
      {.text = "\xe2\x82", .first = {.code_point = 0xE2, .length = 2, .valid = false}},
      {.text = "\xe2\x82z", .first = {.code_point = 0xE2, .length = 2, .valid = false}},
      {.text = "\xf0\x9d\x84", .first = {.code_point = 0xF0, .length = 3, .valid = false}},
      {.text = "\xe0\x80\xaf", .first = {.code_point = 0xE0, .length = 1, .valid = false}},
      {.text = "\xed\xa0\x80", .first = {.code_point = 0xED, .length = 1, .valid = false}},
      {.text = "\xf4\x90\x80\x80", .first = {.code_point = 0xF4, .length = 1, .valid = false}},
  };
  for (const Utf8Case& c : cases) {
    const Utf8Character read = read_utf8(c.text, 0);
    EXPECT_EQ(static_cast<std::uint32_t>(read.code_point),
              static_cast<std::uint32_t>(c.first.code_point))
        << c.text;
    EXPECT_EQ(read.length, c.first.length) << c.text;
    EXPECT_EQ(read.valid, c.first.valid) << c.text;
  }
  // A character read from within a text.
  const Utf8Character read = read_utf8("Zo\xc3\xab", 2);
  EXPECT_EQ(static_cast<std::uint32_t>(read.code_point), 0xEBu);
  EXPECT_EQ(read.length, 2u);
}

}  // namespace
}  // namespace text
