#include "console/utf8_terminal.h"

#include <gtest/gtest.h>

namespace console {
namespace {

struct LocaleCase {
  const char* lc_all;
  const char* lc_ctype;
  const char* lang;
  bool utf8;
};

TEST(Utf8LocaleTest, TakesTheFirstVariableThatIsSet) {
  const LocaleCase cases[] = {
      {.lc_all = nullptr, .lc_ctype = nullptr, .lang = "en_GB.UTF-8", .utf8 = true},
      {.lc_all = nullptr, .lc_ctype = nullptr, .lang = "C.utf8", .utf8 = true},
      {.lc_all = nullptr, .lc_ctype = nullptr, .lang = "de_DE.Utf-8@euro", .utf8 = true},
      {.lc_all = nullptr, .lc_ctype = nullptr, .lang = "C", .utf8 = false},
      {.lc_all = nullptr, .lc_ctype = nullptr, .lang = "en_US.ISO-8859-1", .utf8 = false},
      {.lc_all = nullptr, .lc_ctype = nullptr, .lang = "utf", .utf8 = false},
      {.lc_all = nullptr, .lc_ctype = nullptr, .lang = nullptr, .utf8 = false},
      {.lc_all = "C", .lc_ctype = "en_GB.UTF-8", .lang = "en_GB.UTF-8", .utf8 = false},
      {.lc_all = "", .lc_ctype = "POSIX", .lang = "en_GB.UTF-8", .utf8 = false},
      {.lc_all = "", .lc_ctype = "", .lang = "en_GB.UTF-8", .utf8 = true},
      {.lc_all = "en_GB.UTF-8", .lc_ctype = "C", .lang = nullptr, .utf8 = true},
  };
  for (const LocaleCase& c : cases) {
    EXPECT_EQ(utf8_locale(c.lc_all, c.lc_ctype, c.lang), c.utf8)
        << (c.lc_all ? c.lc_all : "-") << " " << (c.lc_ctype ? c.lc_ctype : "-") << " "
        << (c.lang ? c.lang : "-");
  }
}

}  // namespace
}  // namespace console
