// Windows part of utf8_terminal.h: the console's output code page.
#include <windows.h>

#include "console/utf8_terminal.h"

// Older MinGW headers lack it; Windows 10 and later take it.
#ifndef ENABLE_VIRTUAL_TERMINAL_PROCESSING
#define ENABLE_VIRTUAL_TERMINAL_PROCESSING 0x0004
#endif

namespace console {

// A console shows what its output code page says the bytes are; set to
// UTF-8 it shows the block characters. A redirected standard output is no
// console: GetConsoleMode fails on it.
bool utf8_terminal_output() {
  HANDLE output = ::GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  if (output == INVALID_HANDLE_VALUE || output == nullptr || !::GetConsoleMode(output, &mode)) {
    return false;
  }
  return ::SetConsoleOutputCP(CP_UTF8) != 0;
}

bool colour_terminal_output() {
  HANDLE output = ::GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  if (output == INVALID_HANDLE_VALUE || output == nullptr || !::GetConsoleMode(output, &mode)) {
    return false;
  }
  return ::SetConsoleMode(output, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

}  // namespace console
