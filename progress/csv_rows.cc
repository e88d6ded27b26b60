#include "progress/csv_rows.h"

#include <string_view>

#include "progress/output_text.h"
#include "records/format.h"
#include "records/operations.h"
#include "text/safe_text.h"

namespace progress {

namespace {

void append_field(std::string_view field, std::string* out);

}  // namespace

void append_csv_header(std::string* out) {
  out->append(
      "started,ended,name,addend_limit,right,out_of,percent,grade,seconds,score,operations\r\n");
}

void append_csv_row(const records::LoggedTest& test, std::string* out) {
  append_iso_date_time(test.start, 'T', out);
  out->push_back(',');
  append_iso_date_time(test.end, 'T', out);
  out->push_back(',');
  append_csv_name(test.name, out);
  out->push_back(',');
  append_integer(test.addend_limit, out);
  out->push_back(',');
  append_integer(test.right, out);
  out->push_back(',');
  append_integer(records::kProblemCount, out);
  out->push_back(',');
  append_integer(test.percent, out);
  out->push_back(',');
  out->append(records::letter_grade(test.percent));
  out->push_back(',');
  out->append(test.elapsed);
  out->push_back(',');
  append_integer(test.rating, out);
  out->push_back(',');
  out->append(records::names(test.operations).view());
  out->append("\r\n");
}

// A spreadsheet that splits the line on ';' sees quotes only at the start
// of its own fields, so each part of a name after a ';' that a formula could
// start with gets its quote too: "x;=1+2" is written "x;'=1+2".
void append_csv_name(std::string_view name, std::string* out) {
  constexpr std::string_view kFormulaStart = "=+-@\t\r";
  std::string guarded;
  for (std::size_t at = 0; at < name.size(); ++at) {
    const bool part_starts = at == 0 || name[at - 1] == ';';
    if (part_starts && kFormulaStart.find(name[at]) != std::string_view::npos) {
      guarded.push_back('\'');
    }
    guarded.push_back(name[at]);
  }
  std::string shown;
  text::append_terminal_text(guarded, &shown);
  append_field(shown, out);
}

namespace {

// The field, in quotes when RFC 4180 asks for them.
void append_field(std::string_view field, std::string* out) {
  // A field with ';' is quoted too: a spreadsheet that splits on ';' (Excel in
  // many locales) would otherwise start a new cell, which may be a formula.
  if (field.find_first_of(",;\"\r\n") == std::string_view::npos) {
    out->append(field);
    return;
  }
  out->push_back('"');
  for (char c : field) {
    if (c == '"') out->push_back('"');
    out->push_back(c);
  }
  out->push_back('"');
}

}  // namespace

}  // namespace progress
