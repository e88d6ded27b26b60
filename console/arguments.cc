// The command line in UTF-8 (arguments.h). POSIX hands the program the
// bytes as given; Windows keeps the true command line in UTF-16, split here
// as the C runtime splits it (CommandLineToArgvW), each argument turned
// into UTF-8.
#include "console/arguments.h"

#ifdef _WIN32
#include <windows.h>
// shellapi.h needs windows.h before it.
#include <shellapi.h>

#include "console/wide_text.h"
#endif

namespace console {

std::vector<std::string> program_arguments(int argc, char** argv) {
  std::vector<std::string> as_given(argv + (argc > 0 ? 1 : 0), argv + argc);
#ifdef _WIN32
  int count = 0;
  wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (wide == nullptr) return as_given;
  std::vector<std::string> args;
  for (int i = 1; i < count; ++i) args.push_back(utf8_from_wide(wide[i]));
  ::LocalFree(wide);
  return args;
#else
  return as_given;
#endif
}

}  // namespace console
