#include "drill/name.h"

#include <gtest/gtest.h>

#include <string>

namespace drill {
namespace {

// A word as word input stores it in a kWordBuffer-byte buffer: at most 256
// bytes, so that a word longer than a name arrives with 256 of them.
std::string printable(std::string word) {
  if (word.size() > kWordBuffer - 1) word.resize(kWordBuffer - 1);
  std::string buffer = word;
  buffer.resize(kWordBuffer);
  const std::size_t length = make_printable(buffer.data(), word.size());
  return buffer.substr(0, length);
}

struct CutCase {
  const char* title = "";
  std::string word = {};
  std::string kept = {};
};

void PrintTo(const CutCase& c, std::ostream* os) { *os << c.title; }

class NameCutTest : public ::testing::TestWithParam<CutCase> {};

TEST_P(NameCutTest, KeepsWholeCharactersWithin255Bytes) {
  EXPECT_EQ(printable(GetParam().word), GetParam().kept);
}

const std::string a253(253, 'a');
const std::string a254(254, 'a');
const std::string a252(252, 'a');
const std::string e_acute = "\xC3\xA9";        // é, 2 bytes
const std::string euro = "\xE2\x82\xAC";       // €, 3 bytes
const std::string smile = "\xF0\x9F\x98\x80";  // 😀, 4 bytes

INSTANTIATE_TEST_SUITE_P(
    Utf8, NameCutTest,
    ::testing::Values(
        CutCase{
            .title = "AsciiCutAt255", .word = std::string(300, 'q'), .kept = std::string(255, 'q')},
        CutCase{.title = "Exactly255BytesEndingInATwoByteCharacterStayWhole",
                .word = a253 + e_acute,
                .kept = a253 + e_acute},
        CutCase{.title = "TwoByteCharacterAcrossTheCutIsDropped",
                .word = a254 + e_acute + "z",
                .kept = a254},
        CutCase{.title = "TwoByteCharacterEndingAtTheCutStays",
                .word = a253 + e_acute + "zz",
                .kept = a253 + e_acute},
        CutCase{.title = "ThreeByteCharacterWithOneByteKept", .word = a254 + euro, .kept = a254},
        CutCase{.title = "ThreeByteCharacterWithTwoBytesKept", .word = a253 + euro, .kept = a253},
        CutCase{.title = "ThreeByteCharacterEndingAtTheCutStays",
                .word = a252 + euro + "z",
                .kept = a252 + euro},
        CutCase{.title = "FourByteCharacterWithThreeBytesKept", .word = a252 + smile, .kept = a252},
        CutCase{.title = "FourByteCharacterWithOneByteKept", .word = a254 + smile, .kept = a254},
        CutCase{.title = "ManyFourByteCharacters",
                .word =
                    [] {
                      std::string w;
                      for (int i = 0; i < 70; ++i) w += smile;
                      return w;
                    }(),
                .kept =
                    [] {
                      std::string w;
                      for (int i = 0; i < 63; ++i) w += smile;
                      return w;
                    }()},
        // Bytes that lead no valid sequence are kept as they are: only a cut
        // character is dropped.
        CutCase{.title = "StrayContinuationBytesAreKept",
                .word = a252 + "\x80\x80\x80\x80",
                .kept = a252 + "\x80\x80\x80"},
        CutCase{.title = "InvalidLeadByteIsKept", .word = a254 + "\xC0\x80", .kept = a254 + "\xC0"},
        CutCase{
            .title = "ShortWordKeepsAnIncompleteCharacter", .word = "Zo\xC3", .kept = "Zo\xC3"}),
    [](const ::testing::TestParamInfo<CutCase>& info) { return info.param.title; });

TEST(Name, BidiOverridesAndEightBitControlsBecomeOneQuestionMarkEach) {
  EXPECT_EQ(printable("\xE2\x80\xAEnnA"), "?nnA");                 // right-to-left override
  EXPECT_EQ(printable("Ann\xE2\x81\xA6x\xE2\x81\xA9"), "Ann?x?");  // an isolate
  EXPECT_EQ(printable("\xC2\x9B"
                      "31mAnn"),
            "?31mAnn");  // U+009B, the 8-bit CSI
}

TEST(Name, ControlBytesBecomeQuestionMarks) {
  EXPECT_EQ(printable("\x1b[DAnn"), "?[DAnn");
  EXPECT_EQ(printable(std::string("a\x01"
                                  "b\x1f"
                                  "c\x7f"
                                  "d\0e",
                                  9)),
            "a?b?c?d?e");
  EXPECT_EQ(printable(std::string("\0Ann", 4)), "?Ann");
  // Bytes from 0x80 on and the printable ones are not control bytes.
  EXPECT_EQ(printable("Zo\xC3\xAB~ \x20"), "Zo\xC3\xAB~ \x20");
  // Replacing comes after cutting: a control byte past the cut is gone.
  EXPECT_EQ(printable(a254 + "\x1b\x1b"), a254 + "?");
}

}  // namespace
}  // namespace drill
