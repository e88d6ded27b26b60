#include "drill/options.h"

#include <cstring>

#include "drill/name.h"
#include "text/safe_text.h"

namespace drill {

namespace {

constexpr std::string_view kHelp =
    "Usage: mathdrill [-o OPS]\n"
    "A timed arithmetic drill of 20 problems for a child. Every finished test\n"
    "is added to records.txt in the current folder.\n"
    "\n"
    "  -o, --operations=OPS  the kinds of problem: one or more of\n"
    "                          +  addition          -  subtraction\n"
    "                          x  multiplication    /  division\n"
    "                        in any order, * also for x (default: +-)\n"
    "      --help            show this help and exit\n"
    "      --version         show the version and exit\n";

constexpr std::string_view kVersion = "mathdrill " MATHDRILL_VERSION "\n";
constexpr std::string_view kTryHelp = "Try 'mathdrill --help' for more information.\n";

using Message = text::TextBuffer<1024>;

// An argument as a message quotes it: cut to a name's length, every hidden
// character and every byte that is not UTF-8 shown as '?'.
struct Quoted {
  char bytes[kWordBuffer];
  std::size_t size;
};

Quoted quoted(std::string_view text);
Command refused(const Message& reason);
Command with_signs(std::string_view signs);

}  // namespace

Command read_command_line(int argc, const char* const* argv) {
  Command command;
  for (int index = 1; index < argc; ++index) {
    const std::string_view argument = argv[index];
    if (argument == "--help") {
      command.action = Command::Action::help;
      return command;
    }
    if (argument == "--version") {
      command.action = Command::Action::version;
      return command;
    }
    std::string_view signs;
    if (argument == "-o" || argument == "--operations") {
      if (index + 1 == argc) {
        Message reason;
        reason << kMessageHead << "option '" << argument << "' needs the operations, such as x/\n";
        return refused(reason);
      }
      signs = argv[++index];
    } else if (argument.starts_with("--operations=")) {
      signs = argument.substr(std::strlen("--operations="));
    } else if (argument.starts_with("-o")) {
      signs = argument.substr(2);
    } else if (argument == "--") {
      if (index + 1 == argc) return command;
      const Quoted operand = quoted(argv[index + 1]);
      Message reason;
      reason << kMessageHead << "unexpected argument '"
             << std::string_view(operand.bytes, operand.size) << "'\n";
      return refused(reason);
    } else {
      const Quoted what = quoted(argument);
      Message reason;
      reason << kMessageHead
             << (argument.starts_with("-") && argument.size() > 1 ? "unknown option '"
                                                                  : "unexpected argument '")
             << std::string_view(what.bytes, what.size) << "'\n";
      return refused(reason);
    }
    Command chosen = with_signs(signs);
    if (chosen.action == Command::Action::refuse) return chosen;
    command.operations = chosen.operations;
  }
  return command;
}

std::string_view help_text() { return kHelp; }

std::string_view version_text() { return kVersion; }

namespace {

Quoted quoted(std::string_view text) {
  Quoted result;
  const std::size_t size =
      text.size() < records::kMaxNameLength + 1 ? text.size() : records::kMaxNameLength + 1;
  std::memcpy(result.bytes, text.data(), size);
  result.size = make_printable(result.bytes, size);
  // An argument may be a file's name from a shared folder: bytes that are
  // not UTF-8 (a lone 8-bit control) show as '?' too.
  result.size = text::message_text_in_place(result.bytes, result.size);
  return result;
}

Command refused(const Message& reason) {
  Command command;
  command.action = Command::Action::refuse;
  command.message << reason.view() << kTryHelp;
  return command;
}

// The operations that `signs` names, or the refusal that says what is wrong
// with them.
Command with_signs(std::string_view signs) {
  using Fault = records::SignsRead::Fault;
  const records::SignsRead read = records::read_signs(signs);
  if (read.operations) {
    Command command;
    command.operations = *read.operations;
    return command;
  }
  const Quoted text = quoted(signs);
  Message reason;
  switch (read.fault) {
    case Fault::empty:
    case Fault::none:
      reason << kMessageHead << "no operations given: name one or more of + - x /\n";
      break;
    case Fault::unknown_sign:
      reason << kMessageHead << "unknown operation in \"" << std::string_view(text.bytes, text.size)
             << "\": use + - x (or *) and /\n";
      break;
    case Fault::repeated:
      reason << kMessageHead << "operation '" << std::string_view(&read.sign, 1)
             << "' named twice in \"" << std::string_view(text.bytes, text.size) << "\"\n";
      break;
  }
  return refused(reason);
}

}  // namespace

}  // namespace drill
