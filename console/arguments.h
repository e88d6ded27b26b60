// The command-line arguments of a program, in UTF-8 whatever the platform:
// on POSIX systems they are the bytes of argv; on Windows, where argv holds
// them in the ANSI code page (so that "Zoë" may arrive as other bytes and
// "李.txt" as "?.txt"), they are read from the UTF-16 command line.
// mathdrill-progress's main() uses it. arguments_posix.cc and
// arguments_windows.cc implement it.
#ifndef CONSOLE_ARGUMENTS_H_
#define CONSOLE_ARGUMENTS_H_

#include <string>
#include <vector>

namespace console {

// The arguments after the program's name. On Windows, when the UTF-16
// command line cannot be had, argv's.
std::vector<std::string> program_arguments(int argc, char** argv);

}  // namespace console

#endif  // CONSOLE_ARGUMENTS_H_
