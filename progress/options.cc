#include "progress/options.h"

namespace progress {

namespace {

ParsedOptions usage_error(std::string error);
std::optional<std::string> take_value(const std::vector<std::string>& args, std::size_t& index,
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
      std::optional<std::string> value = take_value(args, i, attached);
      if (!value) return usage_error("option '--child' requires an argument");
      parsed.child = std::move(*value);
      child_given = true;
    } else if (name == "--html") {
      if (parsed.html) {
        return usage_error("option '--html' given more than once");
      }
      parsed.html = take_value(args, i, attached);
      if (!parsed.html) return usage_error("option '--html' requires an argument");
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
  if (csv_given) parsed.output = Options::Output::kCsv;
  if (child_given) parsed.output = Options::Output::kChild;
  if (parsed.files.empty()) parsed.files.emplace_back("records.txt");
  return {.options = std::move(parsed), .error = {}};
}

namespace {

ParsedOptions usage_error(std::string error) { return {.options = {}, .error = std::move(error)}; }

// The value of an option: the text after its '=', or else the next
// argument, which `index` then moves past. Nothing when there is none.
std::optional<std::string> take_value(const std::vector<std::string>& args, std::size_t& index,
                                      std::optional<std::string_view> attached) {
  if (attached) return std::string(*attached);
  if (index + 1 >= args.size()) return std::nullopt;
  return args[++index];
}

}  // namespace

}  // namespace progress
