#include "console/console_output.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

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

// Pieces written one after the other reach the sink in whole buffers of
// 1024 bytes, each as soon as it is full, and in order.
TEST(ConsoleOutput, FullBufferGoesOutAtOnceWhateverThePiecesAre) {
  struct Case {
    std::vector<std::size_t> pieces;  // sizes of the texts written
    std::vector<std::size_t> writes;  // sizes handed to the sink before the flush
  };
  const Case cases[] = {
      {.pieces = {1023}, .writes = {}},
      {.pieces = {1023, 1}, .writes = {1024}},
      {.pieces = {1000, 24, 5}, .writes = {1024}},
      {.pieces = {1000, 30}, .writes = {1024}},
      {.pieces = {1024}, .writes = {1024}},
      {.pieces = {1, 2048}, .writes = {1024, 1024}},
  };
  for (const Case& c : cases) {
    StringSink sink;
    std::string expected;
    ConsoleOutput out(sink);
    for (std::size_t size : c.pieces) {
      // Each piece of its own letter, so that the order shows.
      const std::string piece(size, static_cast<char>('a' + expected.size() % 26));
      out << piece;
      expected += piece;
    }
    EXPECT_EQ(sink.writes(), c.writes) << c.pieces.size() << " pieces, the first " << c.pieces[0];
    out.flush();
    EXPECT_EQ(sink.bytes(), expected);
  }
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
