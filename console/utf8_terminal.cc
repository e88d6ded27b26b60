// Whether standard output shows UTF-8 (utf8_terminal.h): on POSIX a
// terminal whose locale names UTF-8; on Windows a console, whose output
// code page is then set to UTF-8.
#include "console/utf8_terminal.h"

#ifdef _WIN32
#include <windows.h>

// Older MinGW headers lack it; Windows 10 and later take it.
#ifndef ENABLE_VIRTUAL_TERMINAL_PROCESSING
#define ENABLE_VIRTUAL_TERMINAL_PROCESSING 0x0004
#endif
#else
#include <unistd.h>

#include <cstdlib>
#endif

#include <string_view>

namespace console {

namespace {

bool names_utf8(std::string_view locale);

}  // namespace

// A console shows what its output code page says the bytes are; set to
// UTF-8 it shows the block characters. A redirected standard output is no
// console: GetConsoleMode fails on it.
bool utf8_terminal_output() {
#ifdef _WIN32
  HANDLE output = ::GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  if (output == INVALID_HANDLE_VALUE || output == nullptr || !::GetConsoleMode(output, &mode)) {
    return false;
  }
  return ::SetConsoleOutputCP(CP_UTF8) != 0;
#else
  if (!::isatty(1)) return false;
  return utf8_locale(std::getenv("LC_ALL"), std::getenv("LC_CTYPE"), std::getenv("LANG"));
#endif
}

bool colour_terminal_output() {
#ifdef _WIN32
  HANDLE output = ::GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  if (output == INVALID_HANDLE_VALUE || output == nullptr || !::GetConsoleMode(output, &mode)) {
    return false;
  }
  return ::SetConsoleMode(output, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
#else
  return ::isatty(1) != 0;
#endif
}

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
