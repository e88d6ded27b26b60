// Whether standard output is a terminal that shows UTF-8, so that
// mathdrill-progress may draw its trend line in block characters. Only
// mathdrill-progress's main() asks. utf8_terminal_posix.cc and
// utf8_terminal_windows.cc hold what differs by platform.
#ifndef CONSOLE_UTF8_TERMINAL_H_
#define CONSOLE_UTF8_TERMINAL_H_

namespace console {

// Whether standard output is a terminal that shows UTF-8. On POSIX systems:
// it is a terminal and the locale chosen for character types is a UTF-8
// one (utf8_locale). On Windows: it is a console, whose output code page is
// then set to UTF-8; false when that cannot be done.
bool utf8_terminal_output();

// Whether standard output is a terminal that shows ANSI colours (SGR). On
// POSIX systems: it is a terminal. On Windows: it is a console that takes
// them once asked to (virtual terminal processing); false when it will not.
bool colour_terminal_output();

// Whether the locale that the environment chooses for character types is a
// UTF-8 one: the first of the values of LC_ALL, LC_CTYPE and LANG that is
// set (not null) and not empty contains "UTF-8" or "utf8" in any case (e.g.
// "en_GB.UTF-8", "C.utf8"). False when none is set. Portable: the POSIX
// utf8_terminal_output() asks it with the environment's values.
bool utf8_locale(const char* lc_all, const char* lc_ctype, const char* lang);

}  // namespace console

#endif  // CONSOLE_UTF8_TERMINAL_H_
