// Windows part of arguments.h: the UTF-16 command line, split as the C
// runtime splits it (CommandLineToArgvW), each argument turned into UTF-8.
#include <windows.h>
// shellapi.h needs windows.h before it.
#include <shellapi.h>

#include "console/arguments.h"
#include "console/wide_text.h"

namespace console {

std::vector<std::string> program_arguments(int argc, char** argv) {
  int count = 0;
  wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (wide == nullptr) return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
  std::vector<std::string> args;
  for (int i = 1; i < count; ++i) args.push_back(utf8_from_wide(wide[i]));
  ::LocalFree(wide);
  return args;
}

}  // namespace console
