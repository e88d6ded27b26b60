#include "text/text_buffer.h"

#include <gtest/gtest.h>

namespace text {
namespace {

TEST(TextBuffer, KeepsThePiecesInOrderAndDropsWhatDoesNotFit) {
  TextBuffer<8> text;
  EXPECT_EQ(text.view(), "");
  text << "abc"
       << ""
       << "de";
  EXPECT_EQ(text.view(), "abcde");
  text << "fghij";  // three of these fit
  EXPECT_EQ(text.view(), "abcdefgh");
  text << "k";
  EXPECT_EQ(text.view(), "abcdefgh");
}

}  // namespace
}  // namespace text
