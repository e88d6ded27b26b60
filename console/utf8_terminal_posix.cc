// POSIX part of utf8_terminal.h: whether standard output is a UTF-8
// terminal.
#include <unistd.h>

#include <cstdlib>

#include "console/utf8_terminal.h"

namespace console {

bool utf8_terminal_output() {
  if (!::isatty(1)) return false;
  return utf8_locale(std::getenv("LC_ALL"), std::getenv("LC_CTYPE"), std::getenv("LANG"));
}

bool colour_terminal_output() { return ::isatty(1) != 0; }

}  // namespace console
