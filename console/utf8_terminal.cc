// The portable part of utf8_terminal.h.
#include "console/utf8_terminal.h"

#include <string_view>

namespace console {

namespace {

bool names_utf8(std::string_view locale);

}  // namespace

bool utf8_locale(const char* lc_all, const char* lc_ctype, const char* lang) {
  for (const char* value : {lc_all, lc_ctype, lang}) {
    if (value != nullptr && value[0] != '\0') return names_utf8(value);
  }
  return false;
}

namespace {

// Whether a locale name contains "utf-8" or "utf8", compared without case.
bool names_utf8(std::string_view locale) {
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  for (std::size_t at = 0; at + 4 <= locale.size(); ++at) {
    if (lower(locale[at]) != 'u' || lower(locale[at + 1]) != 't' || lower(locale[at + 2]) != 'f') {
      continue;
    }
    if (locale[at + 3] == '8') return true;
    if (locale[at + 3] == '-' && at + 5 <= locale.size() && locale[at + 4] == '8') return true;
  }
  return false;
}

}  // namespace

}  // namespace console
