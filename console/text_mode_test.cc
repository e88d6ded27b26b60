#include "console/text_mode.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/console_input.h"
#include "console/console_output.h"
#include "tests/support/fakes.h"

namespace console {
namespace {

using testing_support::StringSink;
using testing_support::StringSource;

// Everything a TextModeSource hands out, read `size` bytes at a time until
// it reports the end, over raw reads of at most `chunk` bytes.
std::string read_all(const std::string& raw, std::size_t chunk, std::size_t size) {
  StringSource source(raw, chunk);
  TextModeSource text(source);
  std::string out;
  std::vector<char> buffer(size);
  while (std::size_t n = text.read(buffer.data(), size)) out.append(buffer.data(), n);
  return out;
}

struct InputCase {
  const char* name = "";
  std::string raw = {};
  std::string text = {};
};

void PrintTo(const InputCase& c, std::ostream* os) { *os << c.name; }

class TextModeInputTest : public ::testing::TestWithParam<InputCase> {};

// The translation must not depend on where the raw reads split the bytes (a
// CR LF can come in two reads) nor on how much the caller asks for.
TEST_P(TextModeInputTest, TranslatesWhateverTheReadSizes) {
  const InputCase& c = GetParam();
  for (std::size_t chunk : {1, 2, 3, 4096}) {
    for (std::size_t size : {1, 2, 5, 1024}) {
      EXPECT_EQ(read_all(c.raw, chunk, size), c.text) << "chunk " << chunk << ", size " << size;
    }
  }
}

// Ctrl-Z, the byte 0x1A.
const std::string kCtrlZ(1, '\x1a');

INSTANTIATE_TEST_SUITE_P(
    Lines, TextModeInputTest,
    ::testing::Values(
        InputCase{.name = "CrLfIsOneNewline", .raw = "Ann\r\n10\r\n", .text = "Ann\n10\n"},
        InputCase{.name = "LoneLfStays", .raw = "Ann\n10\n", .text = "Ann\n10\n"},
        InputCase{.name = "LoneCrStays", .raw = "a\rb\r\n", .text = "a\rb\n"},
        InputCase{.name = "CrBeforeCrLf", .raw = "a\r\r\n", .text = "a\r\n"},
        InputCase{.name = "CrAtTheEnd", .raw = "a\r", .text = "a\r"},
        InputCase{.name = "LfThenCr", .raw = "a\n\rb", .text = "a\n\rb"},
        InputCase{.name = "OtherBytesPass",
                  .raw = std::string("\0\xff\t\x1b x", 6),
                  .text = std::string("\0\xff\t\x1b x", 6)},
        InputCase{
            .name = "CtrlZCutsItsLine", .raw = "12" + kCtrlZ + "34\r\n56\r\n", .text = "1256\n"},
        InputCase{
            .name = "CtrlZCutsUpToALoneLf", .raw = "ab" + kCtrlZ + "cd\nef\n", .text = "abef\n"},
        InputCase{.name = "CtrlZCutsToTheEnd", .raw = "ab" + kCtrlZ + "cd", .text = "ab"},
        InputCase{.name = "CtrlZTwiceInALine",
                  .raw = "a" + kCtrlZ + "b" + kCtrlZ + "c\r\nd\r\n",
                  .text = "ad\n"},
        InputCase{
            .name = "CrInsideACutIsDropped", .raw = "a" + kCtrlZ + "b\rc\r\nd\n", .text = "ad\n"},
        InputCase{
            .name = "CtrlZAfterALoneCr", .raw = "a\r" + kCtrlZ + "b\r\nc\n", .text = "a\rc\n"},
        InputCase{.name = "CtrlZStartingALineEnds",
                  .raw = "Ann\r\n" + kCtrlZ + "\r\n10\r\n",
                  .text = "Ann\n"},
        InputCase{
            .name = "CtrlZAfterALoneLfEnds", .raw = "Ann\n" + kCtrlZ + "10\n10\n", .text = "Ann\n"},
        InputCase{.name = "CtrlZStartingTheInputEnds", .raw = kCtrlZ + "Ann\r\n", .text = ""},
        InputCase{.name = "CtrlZLineAfterACutLineEnds",
                  .raw = "ab" + kCtrlZ + "cd\r\n" + kCtrlZ + "ef\r\n",
                  .text = "ab"},
        InputCase{
            .name = "CtrlZAfterALoneCrDoesNotEnd", .raw = "\r" + kCtrlZ + "a\nb", .text = "\rb"}),
    [](const ::testing::TestParamInfo<InputCase>& info) { return std::string(info.param.name); });

// A line is handed out as soon as it has been read: the source does not wait
// for more raw input while it has bytes to deliver.
TEST(TextModeInput, DeliversEachLineWithoutWaitingForTheNext) {
  StringSource lines("Ann\r\n10\r\n", 5);
  TextModeSource text(lines);
  char buffer[64];
  ASSERT_EQ(text.read(buffer, sizeof buffer), 4u);
  EXPECT_EQ(std::string(buffer, 4), "Ann\n");
  EXPECT_EQ(lines.reads(), 1u);

  // A CR that ends a raw read is held back until the next read shows
  // whether an LF follows; the bytes before it are not.
  StringSource split("Ann\r\n", 4);
  TextModeSource held(split);
  ASSERT_EQ(held.read(buffer, sizeof buffer), 3u);
  EXPECT_EQ(std::string(buffer, 3), "Ann");
  ASSERT_EQ(held.read(buffer, sizeof buffer), 1u);
  EXPECT_EQ(buffer[0], '\n');
  EXPECT_EQ(held.read(buffer, sizeof buffer), 0u);
}

// After a line that begins with Ctrl-Z the raw source is never read again,
// so a console is not asked for more input.
TEST(TextModeInput, EndAtCtrlZIsFinal) {
  StringSource lines("Ann\r\n\x1a\r\n10\r\n", 1);
  TextModeSource text(lines);
  char buffer[64];
  std::string got;
  while (std::size_t n = text.read(buffer, sizeof buffer)) got.append(buffer, n);
  EXPECT_EQ(got, "Ann\n");
  const std::size_t reads = lines.reads();
  EXPECT_EQ(text.read(buffer, sizeof buffer), 0u);
  EXPECT_EQ(text.read(buffer, sizeof buffer), 0u);
  EXPECT_EQ(lines.reads(), reads);
}

// Through the console input stream: the number syntax is read as without
// translation, and Ctrl-Z ends the input the way the end of a pipe does.
TEST(TextModeInput, ConsoleInputReadsWordsAndNumbers) {
  StringSource raw("Ann\r\n0x1F\r\n12" + kCtrlZ + "9\r\n3\r\n" + kCtrlZ);
  TextModeSource text(raw);
  ConsoleInput in(text, nullptr);
  char word[16];
  std::int32_t number = 0;
  ASSERT_EQ(in.read_word(word, sizeof word), ReadResult::ok);
  EXPECT_STREQ(word, "Ann");
  ASSERT_EQ(in.read_integer(&number), ReadResult::ok);
  EXPECT_EQ(number, 31);
  // "12", Ctrl-Z cuts "9" and the line end, and "3" follows at once.
  ASSERT_EQ(in.read_integer(&number), ReadResult::ok);
  EXPECT_EQ(number, 123);
  EXPECT_EQ(in.read_integer(&number), ReadResult::ended);
  EXPECT_TRUE(in.end_of_input());
}

struct OutputCase {
  std::string text = {};
  std::string raw = {};
};

TEST(TextModeOutput, EveryNewlineGoesOutAsCrLf) {
  const OutputCase cases[] = {
      {.text = "", .raw = ""},
      {.text = "no line end", .raw = "no line end"},
      {.text = "a\nb\n", .raw = "a\r\nb\r\n"},
      {.text = "\n\n", .raw = "\r\n\r\n"},
      // A CR already there is an ordinary byte: the newline still gets one.
      {.text = "a\r\n", .raw = "a\r\r\n"},
      {.text = std::string("\0\r\x1a\n", 4), .raw = std::string("\0\r\x1a\r\n", 5)},
  };
  for (const OutputCase& c : cases) {
    StringSink raw;
    TextModeSink text(raw);
    EXPECT_TRUE(text.write(c.text.data(), c.text.size()));
    EXPECT_EQ(raw.bytes(), c.raw) << c.text;
  }
}

// Text longer than one piece of the sink, and written through the console
// output, whose buffer fills and flushes in the middle of lines.
TEST(TextModeOutput, TextSpanningFlushesAndPieces) {
  std::string text;
  std::string expected;
  for (int i = 0; i < 700; ++i) {
    const std::string line = "line " + std::to_string(i);
    text += line + "\n";
    expected += line + "\r\n";
  }
  text += "\n\n\n";
  expected += "\r\n\r\n\r\n";

  // Also newlines only, after one other byte: a CR LF then falls on each
  // piece's last two bytes, and one more would not fit.
  const std::string odd = "x" + std::string(3000, '\n');
  std::string odd_expected = "x";
  for (int i = 0; i < 3000; ++i) odd_expected += "\r\n";
  for (const auto& [in, out] : {std::pair(text, expected), std::pair(odd, odd_expected)}) {
    StringSink direct;
    TextModeSink direct_text(direct);
    ASSERT_TRUE(direct_text.write(in.data(), in.size()));
    EXPECT_EQ(direct.bytes(), out);
    ASSERT_GT(direct.writes().size(), 1u);
    for (std::size_t n : direct.writes()) EXPECT_LE(n, 2048u);
  }

  StringSink raw;
  TextModeSink console_text(raw);
  {
    ConsoleOutput out(console_text);
    out << text << "end" << line_end;
  }
  EXPECT_EQ(raw.bytes(), expected + "end\r\n");
}

TEST(TextModeOutput, RefusedPieceFailsTheWrite) {
  const std::string text(3000, '\n');
  StringSink raw(100);
  TextModeSink sink(raw);
  EXPECT_FALSE(sink.write(text.data(), text.size()));
  EXPECT_TRUE(raw.bytes().empty());

  StringSink small(5);
  TextModeSink small_sink(small);
  EXPECT_FALSE(small_sink.write("a\nb\n", 4));  // six bytes once translated
}

}  // namespace
}  // namespace console
