#include "text/utf16_encoder.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace text {
namespace {

// The UTF-16 of `bytes` given in two pieces, cut at `cut`, then finished.
std::u16string encode_in_two(std::string_view bytes, std::size_t cut) {
  Utf16Encoder encoder;
  std::u16string units(bytes.size() + 2 * kUtf8Pending + 1, u'\0');
  std::size_t size = encoder.encode(bytes.data(), cut, units.data());
  size += encoder.encode(bytes.data() + cut, bytes.size() - cut, units.data() + size);
  size += encoder.finish(units.data() + size);
  units.resize(size);
  return units;
}

struct EncodeCase {
  std::string_view bytes;
  std::u16string_view units;
};

TEST(Utf16EncoderTest, GivesTheSameUnitsWhereverThePiecesAreCut) {
  const EncodeCase cases[] = {
      {.bytes = "That is right, Zo\xc3\xab!", .units = u"That is right, Zo\u00eb!"},
      {.bytes = "\xe6\x9d\x8e 9 x 3", .units = u"\u674e 9 x 3"},
      {.bytes = "\xf0\x9d\x84\x9e", .units = u"\U0001D11E"},  // a surrogate pair
      {.bytes = "a\xffz", .units = u"a\uFFFDz"},
      {.bytes = "\xe2\x82z", .units = u"\uFFFDz"},      // a cut character is one replacement
      {.bytes = "\xe0\x80", .units = u"\uFFFD\uFFFD"},  // an overlong form
      {.bytes = "\xed\xa0\x80", .units = u"\uFFFD\uFFFD\uFFFD"},  // a surrogate
      {.bytes = "Zo\xc3", .units = u"Zo\uFFFD"},                  // cut by the end of the output
      {.bytes = "", .units = u""},
  };
  for (const EncodeCase& c : cases) {
    for (std::size_t cut = 0; cut <= c.bytes.size(); ++cut) {
      EXPECT_EQ(encode_in_two(c.bytes, cut), c.units) << c.bytes << " cut at " << cut;
    }
  }
}

TEST(Utf16EncoderTest, JoinsACharacterGivenOneByteAtATime) {
  const std::string_view bytes = "\xf0\x9f\x98\x80!";
  Utf16Encoder encoder;
  char16_t units[8];
  std::size_t size = 0;
  for (char byte : bytes) size += encoder.encode(&byte, 1, units + size);
  EXPECT_EQ(std::u16string_view(units, size), u"\U0001F600!");
  EXPECT_EQ(encoder.finish(units), 0u);
}

}  // namespace
}  // namespace text
