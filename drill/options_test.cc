#include "drill/options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace drill {
namespace {

using Action = Command::Action;

Command read(std::vector<const char*> arguments) {
  arguments.insert(arguments.begin(), "mathdrill");
  return read_command_line(static_cast<int>(arguments.size()), arguments.data());
}

TEST(CommandLine, ChoosesTheOperations) {
  struct Case {
    std::vector<const char*> arguments;
    std::string_view signs;
  };
  const Case cases[] = {
      {.arguments = {}, .signs = "+-"},
      {.arguments = {"-o", "x/"}, .signs = "x/"},
      {.arguments = {"-o", "/*"}, .signs = "x/"},
      {.arguments = {"-ox"}, .signs = "x"},
      {.arguments = {"--operations", "-"}, .signs = "-"},
      {.arguments = {"--operations=/-+x"}, .signs = "+-x/"},
      {.arguments = {"-o", "+", "-o", "/"}, .signs = "/"},
      {.arguments = {"-o", "x", "--"}, .signs = "x"},
  };
  for (const Case& c : cases) {
    const Command command = read(c.arguments);
    EXPECT_EQ(command.action, Action::run);
    EXPECT_EQ(records::signs(command.operations).view(), c.signs);
  }
}

TEST(CommandLine, HelpAndVersionActWhereTheyStand) {
  EXPECT_EQ(read({"--help"}).action, Action::help);
  EXPECT_EQ(read({"-o", "x", "--version"}).action, Action::version);
  EXPECT_EQ(read({"--version", "--bogus"}).action, Action::version);
  EXPECT_EQ(read({"--bogus", "--help"}).action, Action::refuse);
  EXPECT_NE(help_text().find("-o, --operations=OPS"), std::string_view::npos);
  EXPECT_EQ(version_text(), "mathdrill " MATHDRILL_VERSION "\n");
}

TEST(CommandLine, RefusesWithAMessageAndThePointerToHelp) {
  struct Case {
    std::vector<const char*> arguments;
    std::string_view first_line;
  };
  const Case cases[] = {
      {.arguments = {"-o"},
       .first_line = "mathdrill: option '-o' needs the operations, such as x/"},
      {.arguments = {"--operations"},
       .first_line = "mathdrill: option '--operations' needs the operations, such as x/"},
      {.arguments = {"-o", ""},
       .first_line = "mathdrill: no operations given: name one or more of + - x /"},
      {.arguments = {"--operations="},
       .first_line = "mathdrill: no operations given: name one or more of + - x /"},
      {.arguments = {"-o", "+%"},
       .first_line = "mathdrill: unknown operation in \"+%\": use + - x (or *) and /"},
      {.arguments = {"-o", "x*"}, .first_line = "mathdrill: operation '*' named twice in \"x*\""},
      {.arguments = {"-z"}, .first_line = "mathdrill: unknown option '-z'"},
      {.arguments = {"--ops=x"}, .first_line = "mathdrill: unknown option '--ops=x'"},
      {.arguments = {"records.txt"}, .first_line = "mathdrill: unexpected argument 'records.txt'"},
      {.arguments = {"-"}, .first_line = "mathdrill: unexpected argument '-'"},
      // A file named to drive the terminal: its controls show as '?'.
      {.arguments = {"--\x1b]2;owned\x07\xc2\x9b\x9b\xe2\x80\xae.txt"},
       .first_line = "mathdrill: unknown option '--?]2;owned????.txt'"},
      {.arguments = {"--", "-o"}, .first_line = "mathdrill: unexpected argument '-o'"},
      {.arguments = {"\x1b]0;owned\a"},
       .first_line = "mathdrill: unexpected argument '?]0;owned?'"},
  };
  for (const Case& c : cases) {
    const Command command = read(c.arguments);
    EXPECT_EQ(command.action, Action::refuse) << c.first_line;
    EXPECT_EQ(command.message.view(),
              std::string(c.first_line) + "\nTry 'mathdrill --help' for more information.\n");
  }
}

}  // namespace
}  // namespace drill
