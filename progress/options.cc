#include "progress/options.h"

namespace progress {

namespace {

bool take_value(const std::vector<std::string>& args, std::size_t& index, std::string_view name,
                std::optional<std::string_view> attached, std::string* value, std::string* error);

}  // namespace

bool parse_options(const std::vector<std::string>& args, Options* options, std::string* error) {
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
      *error = "invalid option -- '" + std::string(arg.substr(1, 1)) + "'";
      return false;
    }
    // "--name=value" or "--name".
    const std::size_t equals = arg.find('=');
    const std::string_view name = arg.substr(0, equals);
    std::optional<std::string_view> attached;
    if (equals != std::string_view::npos) attached = arg.substr(equals + 1);
    if (name == "--help" || name == "--csv") {
      if (attached) {
        *error = "option '" + std::string(name) + "' doesn't allow an argument";
        return false;
      }
      // Help is shown whatever follows, as soon as it is asked for.
      if (name == "--help") {
        *options = Options();
        options->help = true;
        return true;
      }
      csv_given = true;
    } else if (name == "--child") {
      if (child_given) {
        *error = "option '--child' given more than once";
        return false;
      }
      if (!take_value(args, i, name, attached, &parsed.child, error)) return false;
      child_given = true;
    } else if (name == "--html") {
      if (parsed.html) {
        *error = "option '--html' given more than once";
        return false;
      }
      std::string file;
      if (!take_value(args, i, name, attached, &file, error)) return false;
      parsed.html = std::move(file);
    } else {
      *error = "unrecognized option '" + std::string(arg) + "'";
      return false;
    }
  }
  if (csv_given && child_given) {
    *error = "options '--csv' and '--child' cannot be used together";
    return false;
  }
  if (csv_given && parsed.html) {
    *error = "options '--csv' and '--html' cannot be used together";
    return false;
  }
  if (csv_given) parsed.output = Options::Output::kCsv;
  if (child_given) parsed.output = Options::Output::kChild;
  if (parsed.files.empty()) parsed.files.emplace_back("records.txt");
  *options = std::move(parsed);
  return true;
}

namespace {

// The value of option `name`: the text after its '=', or else the next
// argument, which `index` then moves past. False, with the message, when
// there is none.
bool take_value(const std::vector<std::string>& args, std::size_t& index, std::string_view name,
                std::optional<std::string_view> attached, std::string* value, std::string* error) {
  if (attached) {
    *value = *attached;
    return true;
  }
  if (index + 1 >= args.size()) {
    *error = "option '" + std::string(name) + "' requires an argument";
    return false;
  }
  *value = args[++index];
  return true;
}

}  // namespace

}  // namespace progress
