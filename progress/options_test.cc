#include "progress/options.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace progress {
namespace {

using Output = Options::Output;

struct GoodCase {
  std::vector<std::string> args;
  Output output = Output::table;
  std::string child = "";
  std::optional<std::string> html = std::nullopt;
  std::vector<std::string> files = {"records.txt"};
};

TEST(ParseOptionsTest, ReadsWhatToShowAndFromWhere) {
  const GoodCase cases[] = {
      {.args = {}},
      {.args = {"a.txt", "-", "b.txt"}, .files = {"a.txt", "-", "b.txt"}},
      {.args = {"--csv"}, .output = Output::csv},
      {.args = {"--child", "Zoë", "x.txt"},
       .output = Output::child,
       .child = "Zoë",
       .files = {"x.txt"}},
      {.args = {"--child=O'Neil,\"Jo\""}, .output = Output::child, .child = "O'Neil,\"Jo\""},
      {.args = {"--child", ""}, .output = Output::child, .child = ""},
      {.args = {"--child", "--csv"}, .output = Output::child, .child = "--csv"},
      {.args = {"a.txt", "--html", "p.html", "b.txt"},
       .html = "p.html",
       .files = {"a.txt", "b.txt"}},
      {.args = {"--html=p.html", "--child", "Ann"},
       .output = Output::child,
       .child = "Ann",
       .html = "p.html"},
      {.args = {"--", "--csv", "-"}, .files = {"--csv", "-"}},
  };
  for (const GoodCase& c : cases) {
    const ParsedOptions parsed = parse_options(c.args);
    ASSERT_EQ(parsed.error, "");
    const Options& options = parsed.options;
    EXPECT_FALSE(options.help);
    EXPECT_EQ(options.output, c.output);
    EXPECT_EQ(options.child, c.child);
    EXPECT_EQ(options.html, c.html);
    EXPECT_EQ(options.files, c.files);
  }
}

struct BadCase {
  std::vector<std::string> args;
  std::string error;
};

TEST(ParseOptionsTest, NamesWhatIsWrong) {
  const BadCase cases[] = {
      {.args = {"--foo"}, .error = "unrecognized option '--foo'"},
      {.args = {"--foo=1"}, .error = "unrecognized option '--foo=1'"},
      {.args = {"-x"}, .error = "invalid option -- 'x'"},
      {.args = {"--child"}, .error = "option '--child' requires an argument"},
      {.args = {"--html"}, .error = "option '--html' requires an argument"},
      {.args = {"--html=", "records.txt"}, .error = "option '--html' needs a file name, not ''"},
      {.args = {"--html", ""}, .error = "option '--html' needs a file name, not ''"},
      {.args = {"--csv=yes"}, .error = "option '--csv' doesn't allow an argument"},
      {.args = {"--csv", "--child", "Ann"},
       .error = "options '--csv' and '--child' cannot be used together"},
      {.args = {"--html", "p.html", "--csv"},
       .error = "options '--csv' and '--html' cannot be used together"},
      {.args = {"--child", "Ann", "--child", "Bob"},
       .error = "option '--child' given more than once"},
      {.args = {"--html", "a", "--html=b"}, .error = "option '--html' given more than once"},
      {.args = {"--foo", "--help"}, .error = "unrecognized option '--foo'"},
  };
  for (const BadCase& c : cases) {
    EXPECT_EQ(parse_options(c.args).error, c.error);
  }
}

TEST(ParseOptionsTest, TakesTheVersionWhateverFollows) {
  const ParsedOptions parsed = parse_options({"a.txt", "--version", "--foo", "--help"});
  EXPECT_EQ(parsed.error, "");
  EXPECT_TRUE(parsed.options.version);
  EXPECT_FALSE(parsed.options.help);
  EXPECT_EQ(parse_options({"--version=2"}).error, "option '--version' doesn't allow an argument");
}

TEST(ParseOptionsTest, TakesHelpWhateverFollows) {
  const ParsedOptions parsed = parse_options({"a.txt", "--help", "--foo", "--csv", "--child"});
  EXPECT_EQ(parsed.error, "");
  EXPECT_TRUE(parsed.options.help);
  EXPECT_TRUE(parsed.options.files.empty());
}

}  // namespace
}  // namespace progress
