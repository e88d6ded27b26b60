#include "text/utf16_decoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace text {
namespace {

// Decodes `pieces` one after another with one decoder, then finishes.
std::string decode(const std::vector<std::u16string>& pieces) {
  Utf16Decoder decoder;
  std::string utf8;
  for (const std::u16string& piece : pieces) {
    std::string out(kUtf8BytesPerUnit * (piece.size() + 1), '\0');
    out.resize(decoder.decode(piece.data(), piece.size(), out.data()));
    utf8 += out;
  }
  std::string last(kUtf8BytesPerUnit, '\0');
  last.resize(decoder.finish(last.data()));
  return utf8 + last;
}

struct DecodeCase {
  const char* label;
  std::vector<std::u16string> pieces;
  std::string utf8;
};

void PrintTo(const DecodeCase& c, std::ostream* out) { *out << c.label; }

class Utf16DecoderTest : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(Utf16DecoderTest, GivesTheUtf8OfThePieces) {
  EXPECT_EQ(decode(GetParam().pieces), GetParam().utf8);
}

const std::string kReplacement = "\xEF\xBF\xBD";

INSTANTIATE_TEST_SUITE_P(
    Text, Utf16DecoderTest,
    ::testing::Values(
        DecodeCase{.label = "Nothing", .pieces = {}, .utf8 = ""},
        // The console's line end and Ctrl-Z pass as the bytes they are.
        DecodeCase{.label = "AsciiLineAndCtrlZ",
                   .pieces = {u"Ann\r\n\x1A\r\n"},
                   .utf8 = "Ann\r\n\x1A\r\n"},
        DecodeCase{
            .label = "TwoByteCharacter", .pieces = {u"Zo\u00EB\r\n"}, .utf8 = "Zo\xC3\xAB\r\n"},
        DecodeCase{.label = "LastTwoByteCharacter", .pieces = {u"\u07FF"}, .utf8 = "\xDF\xBF"},
        DecodeCase{.label = "ThreeByteCharacters",
                   .pieces = {u"\u674E\u0800\uFFFF"},
                   .utf8 = "\xE6\x9D\x8E\xE0\xA0\x80\xEF\xBF\xBF"},
        DecodeCase{.label = "SurrogatePair", .pieces = {u"\U0001F600"}, .utf8 = "\xF0\x9F\x98\x80"},
        DecodeCase{.label = "LastCodePoint", .pieces = {u"\U0010FFFF"}, .utf8 = "\xF4\x8F\xBF\xBF"},
        DecodeCase{.label = "PairSplitBetweenPieces",
                   .pieces = {u"a\xD83D", u"\xDE00z"},
                   .utf8 = "a\xF0\x9F\x98\x80z"},
        DecodeCase{.label = "PairSplitByAnEmptyPiece",
                   .pieces = {u"\xD83D", u"", u"\xDE00"},
                   .utf8 = "\xF0\x9F\x98\x80"},
        DecodeCase{
            .label = "HighSurrogateAtTheEnd", .pieces = {u"a\xD83D"}, .utf8 = "a" + kReplacement},
        DecodeCase{.label = "HighSurrogateBeforeAnotherCharacter",
                   .pieces = {u"\xD83D", u"b"},
                   .utf8 = kReplacement + "b"},
        DecodeCase{.label = "TwoHighSurrogatesThenALow",
                   .pieces = {u"\xD83D\xD83D\xDE00"},
                   .utf8 = kReplacement + "\xF0\x9F\x98\x80"},
        DecodeCase{
            .label = "LoneLowSurrogate", .pieces = {u"\xDE00x"}, .utf8 = kReplacement + "x"}),
    [](const ::testing::TestParamInfo<DecodeCase>& info) { return std::string(info.param.label); });

// The room the caller gives is enough for the most a piece can give: a kept
// high surrogate turned into U+FFFD, then a three-byte character per unit.
TEST(Utf16Decoder, WritesNoMoreThanTheRoomItAsksFor) {
  Utf16Decoder decoder;
  char out[kUtf8BytesPerUnit * 3] = {};
  EXPECT_EQ(decoder.decode(u"\xD83D", 1, out), 0u);
  const char16_t units[] = {u'\uFFFF', u'\uFFFF'};
  EXPECT_EQ(decoder.decode(units, 2, out), sizeof out);
  EXPECT_EQ(std::string(out, sizeof out), kReplacement + "\xEF\xBF\xBF\xEF\xBF\xBF");
}

}  // namespace
}  // namespace text
