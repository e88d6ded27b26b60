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
  text << "k" << 'l';
  EXPECT_EQ(text.view(), "abcdefgh");
}

TEST(TextBuffer, TakesSingleBytesUntilFull) {
  TextBuffer<3> text;
  text << 'a' << "b" << 'c' << 'd';
  EXPECT_EQ(text.view(), "abc");
}

}  // namespace
}  // namespace text
