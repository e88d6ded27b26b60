#include "progress/xml_text.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace progress {
namespace {

struct XmlCase {
  std::string_view text;
  std::string_view written;
};

TEST(XmlTextTest, EscapesMarkupAndReplacesWhatXmlCannotHold) {
  const XmlCase cases[] = {
      {.text = "Ann", .written = "Ann"},
      {.text = "<b>Tom&Jerry</b>", .written = "&lt;b&gt;Tom&amp;Jerry&lt;/b&gt;"},
      {.text = "O'Neil,\"Jo\"", .written = "O&#39;Neil,&quot;Jo&quot;"},
      {.text = "Zoë ▅ 𝄞", .written = "Zoë ▅ 𝄞"},
      {.text = "\xff\xfe"
               "Bad",
       .written = "\uFFFD\uFFFDBad"},
      {.text = "Red\x1b[31m", .written = "Red\uFFFD[31m"},
      {.text = std::string_view("a\0b", 3), .written = "a\uFFFDb"},
      {.text = "\xc3", .written = "\uFFFD"},                                // cut sequence
      {.text = "\xc0\xaf", .written = "\uFFFD\uFFFD"},                      // overlong '/'
      {.text = "\xed\xa0\x80", .written = "\uFFFD\uFFFD\uFFFD"},            // a surrogate
      {.text = "\xf4\x90\x80\x80", .written = "\uFFFD\uFFFD\uFFFD\uFFFD"},  // past U+10FFFF
      {.text = "\xef\xbf\xbe", .written = "\uFFFD"},                        // U+FFFE
      {.text = "\xc2\x85", .written = "\uFFFD"},                            // a C1 control
  };
  for (const XmlCase& c : cases) {
    std::string out;
    append_xml_text(c.text, &out);
    EXPECT_EQ(out, c.written) << c.text;
  }
}

}  // namespace
}  // namespace progress
