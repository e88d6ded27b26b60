#include "progress/options.h"

#include "progress/messages.h"
#include "records/format.h"

namespace progress {

namespace {

// What --help prints.
constexpr std::string_view kUsage =
    "Usage: mathdrill-progress [OPTION]... [FILE]...\n"
    "Show the progress of the children whose tests mathdrill logged in FILE (by\n"
    "default records.txt in the current folder; '-' is standard input). Tests of\n"
    "the same name in several files belong to the same child.\n"
    "\n"
    "With no option, print one row per child and kind of test: the operations\n"
    "(+-, x/, ...), the number of tests, the dates of the first and the last\n"
    "test, the last test's percent and grade, the best percent, the mean percent\n"
    "and the median seconds of the last 5 tests, and the percents of the last 20\n"
    "tests as a trend line.\n"
    "\n"
    "  --child NAME  print every test of the child NAME, oldest first\n"
    "  --csv         print every test of every child as CSV, in the order read\n"
    "  --html FILE   also write a page with a chart of the last 100 tests of\n"
    "                each child and kind to FILE (with --child: of that child\n"
    "                only); '-' writes it to standard output instead of the table\n"
    "  --facts       print, per child and operation, how many facts (7 x 8) are\n"
    "                fluent, learning and missed, from the answers files; with\n"
    "                --child NAME the child's grids, with --csv one row per fact\n"
    "  --fluent-seconds=N  a right answer within N seconds (1 to 60, default 3)\n"
    "                counts towards fluent\n"
    "  --color[=WHEN]  colour the grids: never, always, or auto (the default:\n"
    "                only on a terminal); never when NO_COLOR is set\n"
    "  --help        print this help and exit\n"
    "  --version     print the version and exit\n"
    "\n"
    "--csv goes with neither --child nor --html, --facts not with --html.\n"
    "\n"
    "A file whose first line is the header of answers.csv is read as answers;\n"
    "any other as a records log. With no FILE, answers.csv in the current\n"
    "folder is read too when there is one (with --facts, only answers.csv).\n"
    "A fact is fluent when at least 2 of its last 3 tries were right within\n"
    "the fluency time, learning when at least 1 was right, missed otherwise.\n"
    "\n"
    "Each file's tests keep its order, and the files are merged by starting\n"
    "time. A test found in several files counts once. Text that is not a whole\n"
    "test block is skipped, with one message for each file naming its lines. A\n"
    "file named twice is read once. The page replaces FILE only when it is\n"
    "complete, and never replaces a file that is read or a file that is not a\n"
    "page.\n"
    "\n"
    "Exit status: 0 when every file was read, 1 when a file could not be read\n"
    "or written, 2 for a wrong option or a page that would replace another file.\n";

ParsedOptions usage_error(std::string error);
std::optional<std::string> take_value(const std::vector<std::string>& args, std::size_t* index,
                                      std::optional<std::string_view> attached);
std::optional<int> whole_seconds(std::string_view text);

}  // namespace

ParsedOptions parse_options(const std::vector<std::string>& args) {
  Options parsed;
  bool child_given = false;
  bool csv_given = false;
  bool only_files = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    if (only_files || arg == "-" || !arg.starts_with("-")) {
      parsed.files.emplace_back(arg);
      continue;
    }
    if (arg == "--") {
      only_files = true;
      continue;
    }
    if (!arg.starts_with("--")) {
      return usage_error("invalid option -- '" + std::string(arg.substr(1, 1)) + "'");
    }
    // "--name=value" or "--name".
    const std::size_t equals = arg.find('=');
    const std::string_view name = arg.substr(0, equals);
    std::optional<std::string_view> attached;
    if (equals != std::string_view::npos) attached = arg.substr(equals + 1);
    if (name == "--facts") {
      if (attached) return usage_error("option '--facts' doesn't allow an argument");
      parsed.facts = true;
      continue;
    }
    if (name == "--fluent-seconds") {
      const std::optional<std::string> value = take_value(args, &i, attached);
      if (!value) return usage_error("option '--fluent-seconds' requires an argument");
      const std::optional<int> seconds = whole_seconds(*value);
      if (!seconds) {
        return usage_error("invalid argument '" + *value +
                           "' for '--fluent-seconds': a whole number from 1 to 60");
      }
      parsed.fluent_seconds = *seconds;
      continue;
    }
    if (name == "--color") {
      const std::string_view when = attached.value_or("auto");
      if (when == "never") {
        parsed.colour = Options::Colour::never;
      } else if (when == "always") {
        parsed.colour = Options::Colour::always;
      } else if (when == "auto") {
        parsed.colour = Options::Colour::automatic;
      } else {
        return usage_error("invalid argument '" + std::string(when) +
                           "' for '--color': never, always or auto");
      }
      continue;
    }
    if (name == "--help" || name == "--version" || name == "--csv") {
      if (attached) {
        return usage_error("option '" + std::string(name) + "' doesn't allow an argument");
      }
      // Help and the version are shown whatever follows, as soon as they are
      // asked for.
      if (name == "--help" || name == "--version") {
        Options shown;
        shown.help = name == "--help";
        shown.version = name == "--version";
        return {.options = std::move(shown), .error = {}};
      }
      csv_given = true;
    } else if (name == "--child") {
      if (child_given) {
        return usage_error("option '--child' given more than once");
      }
      std::optional<std::string> value = take_value(args, &i, attached);
      if (!value) return usage_error("option '--child' requires an argument");
      parsed.child = std::move(*value);
      child_given = true;
    } else if (name == "--html") {
      if (parsed.html) {
        return usage_error("option '--html' given more than once");
      }
      parsed.html = take_value(args, &i, attached);
      if (!parsed.html) return usage_error("option '--html' requires an argument");
      if (parsed.html->empty()) return usage_error("option '--html' needs a file name, not ''");
    } else {
      return usage_error("unrecognized option '" + std::string(arg) + "'");
    }
  }
  if (csv_given && child_given) {
    return usage_error("options '--csv' and '--child' cannot be used together");
  }
  if (csv_given && parsed.html) {
    return usage_error("options '--csv' and '--html' cannot be used together");
  }
  if (parsed.facts && parsed.html) {
    return usage_error("options '--facts' and '--html' cannot be used together");
  }
  if (csv_given) parsed.output = Options::Output::csv;
  if (child_given) parsed.output = Options::Output::child;
  if (parsed.files.empty()) {
    parsed.files.emplace_back(records::kRecordsFileName);
    parsed.default_files = true;
  }
  return {.options = std::move(parsed), .error = {}};
}

std::string_view usage_text() { return kUsage; }

std::string version_line() { return std::string(kProgram) + " " + MATHDRILL_VERSION + "\n"; }

namespace {

ParsedOptions usage_error(std::string error) { return {.options = {}, .error = std::move(error)}; }

// The value of an option: the text after its '=', or else the next
// argument, which `index` then moves past. Nothing when there is none.
std::optional<std::string> take_value(const std::vector<std::string>& args, std::size_t* index,
                                      std::optional<std::string_view> attached) {
  if (attached) return std::string(*attached);
  if (*index + 1 >= args.size()) return std::nullopt;
  return args[++*index];
}

// A whole number of seconds from 1 to 60 in decimal digits; nothing for
// any other text.
std::optional<int> whole_seconds(std::string_view text) {
  if (text.empty() || text.size() > 2) return std::nullopt;
  int value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value < 1 || value > 60) return std::nullopt;
  return value;
}

}  // namespace

}  // namespace progress
