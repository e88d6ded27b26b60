#include "progress/input_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>

#include "console/byte_stream.h"
#include "tests/support/fakes.h"

namespace progress {
namespace {

// A source that notes the largest read asked of it.
class WatchedSource : public console::ByteSource {
 public:
  WatchedSource(std::string bytes, std::size_t chunk) : source_(std::move(bytes), chunk) {}
  std::size_t read(char* buffer, std::size_t size) override {
    largest_request = std::max(largest_request, size);
    return source_.read(buffer, size);
  }
  std::size_t largest_request = 0;

 private:
  testing_support::StringSource source_;
};

// Every byte value, over and over.
std::string sample(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7 % 251);
  return bytes;
}

class InputWindowTest : public ::testing::TestWithParam<std::size_t> {};

TEST_P(InputWindowTest, ShowsAtLeastWhatIsAskedUntilTheEnd) {
  const std::size_t delivered = GetParam();
  const std::string input = sample(10000);
  WatchedSource source(input, delivered);
  InputWindow window(source, 100, 64);
  std::string seen;
  for (std::size_t step = 1; seen.size() < input.size(); step = step % 37 + 1) {
    const std::string_view bytes = window.peek(50);
    ASSERT_GE(bytes.size(), std::min<std::size_t>(50, input.size() - seen.size()));
    ASSERT_EQ(bytes.substr(0, 50), std::string_view(input).substr(seen.size(), 50));
    const std::size_t taken = std::min(step, bytes.size());
    seen.append(bytes.substr(0, taken));
    window.advance(taken);
  }
  EXPECT_EQ(seen, input);
  EXPECT_TRUE(window.peek(50).empty());
  EXPECT_TRUE(window.peek(50).empty()) << "stays at the end";
  EXPECT_LE(source.largest_request, 64u) << "reads in pieces of the chunk size";
}

TEST_P(InputWindowTest, SkipsLinesOfAnyLength) {
  const std::size_t delivered = GetParam();
  const std::string long_line(100000, 'x');
  const std::string input = "short\n" + long_line + "\n\nlast line without an end";
  testing_support::StringSource source(input, delivered);
  InputWindow window(source, 16, 64);
  EXPECT_EQ(window.peek(5).substr(0, 5), "short");
  window.skip_line();
  EXPECT_EQ(window.peek(3).substr(0, 3), "xxx");
  window.skip_line();
  EXPECT_EQ(window.peek(1).substr(0, 1), "\n");
  window.skip_line();
  EXPECT_EQ(window.peek(4).substr(0, 4), "last");
  window.skip_line();
  EXPECT_TRUE(window.peek(1).empty());
  window.skip_line();
  EXPECT_TRUE(window.peek(1).empty());
}

INSTANTIATE_TEST_SUITE_P(DeliveredInPieces, InputWindowTest, ::testing::Values(1, 3, 64, 4096));

TEST(InputWindowSizeTest, ShowsNoMoreThanItsWindowBeyondAPiece) {
  testing_support::StringSource source(sample(1000), 1000);
  InputWindow window(source, 10, 20);
  // Asked for more than it may hold, it shows what it holds.
  const std::string_view bytes = window.peek(500);
  EXPECT_GE(bytes.size(), 10u);
  EXPECT_LE(bytes.size(), 30u);
}

}  // namespace
}  // namespace progress
