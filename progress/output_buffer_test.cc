#include "progress/output_buffer.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/fakes.h"

namespace progress {
namespace {

TEST(OutputBufferTest, WritesInLargePiecesAndAPageStraightThrough) {
  testing_support::StringSink sink;
  OutputBuffer out(sink);
  const std::string line(100, 'x');
  for (int i = 0; i < 700; ++i) {
    out.text().append(line);
    out.wrote();
  }
  EXPECT_EQ(sink.writes().size(), 1u);  // 65,600 bytes reached the write size once
  out.text().append("head\n");
  out.write_through("<!DOCTYPE html>");
  EXPECT_TRUE(out.flush());
  EXPECT_EQ(sink.bytes(), std::string(70'000, 'x') + "head\n<!DOCTYPE html>");
  EXPECT_EQ(sink.writes().back(), 15u);  // the page went as one write of its own
}

TEST(OutputBufferTest, RemembersAFailedWriteAndDropsTheRest) {
  testing_support::StringSink sink(10);
  OutputBuffer out(sink);
  out.text().append("0123456789abc");
  EXPECT_FALSE(out.flush());
  out.write_through("page");
  out.text().append("more");
  EXPECT_FALSE(out.flush());
  EXPECT_EQ(sink.bytes(), "");
}

}  // namespace
}  // namespace progress
