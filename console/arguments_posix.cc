// POSIX part of arguments.h: argv holds the bytes as given.
#include "console/arguments.h"

namespace console {

std::vector<std::string> program_arguments(int argc, char** argv) {
  return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

}  // namespace console
