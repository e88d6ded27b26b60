#include "progress/csv_rows.h"

#include <algorithm>
#include <string_view>

#include "progress/output_text.h"
#include "records/format.h"
#include "records/operations.h"
#include "text/safe_text.h"

namespace progress {

namespace {

bool is_plain_name(std::string_view name, std::string_view formula_start);
void append_field(std::string_view field, std::string* out);

// A field that holds one of these is quoted. ';' is among them: a
// spreadsheet that splits on ';' (Excel in many locales) would otherwise
// start a new cell, which may be a formula.
constexpr std::string_view kQuotedBytes = ",;\"\r\n";

// The longest grade text a row holds.
constexpr std::size_t kGradeRoom = 8;

}  // namespace

void append_csv_header(std::string* out) {
  out->append(
      "started,ended,name,addend_limit,right,out_of,percent,grade,seconds,score,operations\r\n");
}

void append_csv_row(const records::LoggedTest& test, std::string* out) {
  // The fields are put together in place, apart from the name and the
  // elapsed time, whose sizes the log decides.
  char times[2 * kIsoDateTimeRoom + 2];
  char* at = put_iso_date_time(test.start, 'T', times);
  *at++ = ',';
  at = put_iso_date_time(test.end, 'T', at);
  *at++ = ',';
  out->append(times, at);
  append_csv_name(test.name, out);
  char results[4 * kIntegerRoom + kGradeRoom + 8];
  at = results;
  *at++ = ',';
  at = put_integer(test.addend_limit, at);
  *at++ = ',';
  at = put_integer(test.right, at);
  *at++ = ',';
  at = put_integer(records::kProblemCount, at);
  *at++ = ',';
  at = put_integer(test.percent, at);
  *at++ = ',';
  const std::string_view grade = records::letter_grade(test.percent);
  at = std::copy_n(grade.data(), std::min(grade.size(), kGradeRoom), at);
  *at++ = ',';
  out->append(results, at);
  out->append(test.elapsed);
  char rest[kIntegerRoom + sizeof(records::OperationsText::bytes) + 4];
  at = rest;
  *at++ = ',';
  at = put_integer(test.rating, at);
  *at++ = ',';
  const records::OperationsText names = records::names(test.operations);
  at = std::copy_n(names.bytes, names.size, at);
  *at++ = '\r';
  *at++ = '\n';
  out->append(rest, at);
}

// A spreadsheet that splits the line on ';' sees quotes only at the start
// of its own fields, so each part of a name after a ';' that a formula could
// start with gets its quote too: "x;=1+2" is written "x;'=1+2".
void append_csv_name(std::string_view name, std::string* out) {
  constexpr std::string_view kFormulaStart = "=+-@\t\r";
  if (is_plain_name(name, kFormulaStart)) {
    out->append(name);
    return;
  }
  std::string guarded;
  for (std::size_t at = 0; at < name.size(); ++at) {
    const bool part_starts = at == 0 || name[at - 1] == ';';
    if (part_starts && kFormulaStart.find(name[at]) != std::string_view::npos) {
      if (guarded.empty()) guarded.assign(name.substr(0, at));
      guarded.push_back('\'');
    }
    if (!guarded.empty()) guarded.push_back(name[at]);
  }
  // Shown as a terminal shows it, in place; quoted when that text asks for
  // quotes (a name such as "Zoë" does not).
  const std::size_t start = out->size();
  text::append_terminal_text(guarded.empty() ? name : std::string_view(guarded), out);
  if (std::string_view(*out).substr(start).find_first_of(kQuotedBytes) == std::string_view::npos) {
    return;
  }
  const std::string shown = out->substr(start);
  out->resize(start);
  append_field(shown, out);
}

namespace {

// Whether the name is written as it stands, as most names are: printable
// ASCII without a quote, a field separator of either kind, or a formula
// start at its front, so that it needs no guard, no quotes and no
// character shown in its stead.
bool is_plain_name(std::string_view name, std::string_view formula_start) {
  if (!name.empty() && formula_start.find(name.front()) != std::string_view::npos) return false;
  for (const char c : name) {
    if (c < '!' || c > '~' || c == ',' || c == ';' || c == '"') return false;
  }
  return true;
}

// The field, in quotes when RFC 4180 asks for them.
void append_field(std::string_view field, std::string* out) {
  if (field.find_first_of(kQuotedBytes) == std::string_view::npos) {
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
