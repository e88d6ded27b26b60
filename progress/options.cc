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
    "  --help        print this help and exit\n"
    "  --version     print the version and exit\n"
    "\n"
    "--csv goes with neither --child nor --html.\n"
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
  if (csv_given) parsed.output = Options::Output::csv;
  if (child_given) parsed.output = Options::Output::child;
  if (parsed.files.empty()) parsed.files.emplace_back(records::kRecordsFileName);
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

}  // namespace

}  // namespace progress
