#include "console/wide_text.h"

#include <gtest/gtest.h>

#include <string>

namespace console {
namespace {

TEST(WideText, TurnsUtf8IntoUtf16AndBack) {
  struct Case {
    std::string utf8;
    std::wstring wide;
  };
  const Case cases[] = {
      {.utf8 = "", .wide = L""},
      {.utf8 = "records.txt", .wide = L"records.txt"},
      {.utf8 = "Zo\xC3\xAB", .wide = L"Zo\u00EB"},
      {.utf8 = "\xE6\x9D\x8E.txt", .wide = L"\u674E.txt"},
      // Beyond the first plane: a surrogate pair.
      {.utf8 = "\xF0\x9F\x98\x80", .wide = L"\U0001F600"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(wide_from_utf8(c.utf8), c.wide) << c.utf8;
    EXPECT_EQ(utf8_from_wide(c.wide), c.utf8) << c.utf8;
  }
}

TEST(WideText, ShowsWhatIsNotUtf8AsReplacementCharacters) {
  EXPECT_EQ(wide_from_utf8("a\xFF"
                           "b"),
            L"a\uFFFDb");
  const wchar_t lone[] = {L'a', static_cast<wchar_t>(0xD800), L'b', L'\0'};
  EXPECT_EQ(utf8_from_wide(lone),
            "a\xEF\xBF\xBD"
            "b");
}

}  // namespace
}  // namespace console
