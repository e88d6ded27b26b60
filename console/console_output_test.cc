#include "console/console_output.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tests/support/fakes.h"
#include "text/number_format.h"

namespace console {
namespace {

using testing_support::StringSink;

TEST(ConsoleOutput, WritesTextAndNumbersWithoutPadding) {
  StringSink sink;
  {
    ConsoleOutput out(sink);
    out << "n=" << 42 << " m=" << -7 << " min=" << (-2147483647 - 1) << " e=" << 488.0
        << " f=" << -5.0;
  }
  EXPECT_EQ(sink.bytes(), "n=42 m=-7 min=-2147483648 e=488 f=-5");
}

TEST(ConsoleOutput, TextStopsAtNul) {
  StringSink sink;
  ConsoleOutput out(sink);
  out << std::string_view("Ann\0Lee", 7) << line_end;
  EXPECT_EQ(sink.bytes(), "Ann\n");
}

TEST(ConsoleOutput, BytesWaitUntilLineEndOrFullBuffer) {
  StringSink sink;
  ConsoleOutput out(sink);
  out << "prompt ";
  EXPECT_EQ(sink.bytes(), "");
  out << line_end;
  EXPECT_EQ(sink.bytes(), "prompt \n");
  out << std::string(1030, 'x');
  // The first 1024 bytes went out when the buffer filled; 6 are waiting.
  EXPECT_EQ(sink.bytes().size(), 8u + 1024u);
  out.flush();
  EXPECT_EQ(sink.bytes().size(), 8u + 1030u);
}

TEST(ConsoleOutput, FailedWriteTurnsStreamBadAndDropsLaterOutput) {
  StringSink sink(10);
  ConsoleOutput out(sink);
  out << "12345" << line_end;
  out << "67890" << line_end;  // refused: 12 bytes would pass the sink's 10
  // The sink would take these 2 bytes, but the stream has turned bad.
  out << "x" << line_end;
  EXPECT_EQ(sink.bytes(), "12345\n");
}

}  // namespace
}  // namespace console
