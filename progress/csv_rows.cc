#include "progress/csv_rows.h"

#include <string_view>

#include "progress/output_text.h"
#include "records/format.h"
#include "records/operations.h"

namespace progress {

namespace {

void append_field(std::string_view field, std::string& out);

}  // namespace

void append_csv_header(std::string& out) {
  out.append(
      "started,ended,name,addend_limit,right,out_of,percent,grade,seconds,score,operations\r\n");
}

void append_csv_row(const records::LoggedTest& test, std::string& out) {
  append_iso_date_time(test.start, 'T', out);
  out.push_back(',');
  append_iso_date_time(test.end, 'T', out);
  out.push_back(',');
  append_csv_name(test.name, out);
  out.push_back(',');
  append_integer(test.addend_limit, out);
  out.push_back(',');
  append_integer(test.right, out);
  out.push_back(',');
  append_integer(records::kProblemCount, out);
  out.push_back(',');
  append_integer(test.percent, out);
  out.push_back(',');
  out.append(records::letter_grade(test.percent));
  out.push_back(',');
  out.append(test.elapsed);
  out.push_back(',');
  append_integer(test.rating, out);
  out.push_back(',');
  out.append(records::names(test.operations).view());
  out.append("\r\n");
}

void append_csv_name(std::string_view name, std::string& out) {
  std::string shown;
  if (!name.empty() && name.find_first_of("=+-@\t\r") == 0) shown.push_back('\'');
  append_terminal_text(name, shown);
  append_field(shown, out);
}

namespace {

// The field, in quotes when RFC 4180 asks for them.
void append_field(std::string_view field, std::string& out) {
  if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
    out.append(field);
    return;
  }
  out.push_back('"');
  for (char c : field) {
    if (c == '"') out.push_back('"');
    out.push_back(c);
  }
  out.push_back('"');
}

}  // namespace

}  // namespace progress
