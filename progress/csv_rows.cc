#include "progress/csv_rows.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

#include "progress/output_text.h"
#include "records/field_cursor.h"
#include "records/format.h"
#include "records/operations.h"
#include "records/timestamp.h"
#include "text/safe_text.h"

namespace progress {

namespace {

char* put_row_time(const text::CivilTime& time, std::string_view logged, char* at);
char* put_short_text(std::string_view text, char* at);
bool is_plain_name(std::string_view name);
bool starts_formula(char c);
bool is_printable_ascii(std::string_view text);
bool needs_quotes(std::string_view field);
void append_field(std::string_view field, std::string* out);

// A field that holds one of these is quoted. ';' is among them: a
// spreadsheet that splits on ';' (Excel in many locales) would otherwise
// start a new cell, which may be a formula.
constexpr std::string_view kQuotedBytes = ",;\"\r\n";

// The number of problems of every test, as a row writes it: its two
// digits, made when compiling.
static_assert(records::kProblemCount >= 10 && records::kProblemCount <= 99);
constexpr std::array<char, 2> kProblemCountText = {
    static_cast<char>('0' + records::kProblemCount / 10),
    static_cast<char>('0' + records::kProblemCount % 10)};

}  // namespace

void append_csv_header(std::string* out) {
  out->append(
      "started,ended,name,addend_limit,right,out_of,percent,grade,seconds,score,operations\r\n");
}

bool CsvRows::append_row(const records::LoggedTest& test, std::string* out) {
  // The row is put together after the rows waiting. A name's field that is
  // longer than any name the drill writes is appended between the parts,
  // after the rows waiting, and so is a longer elapsed time.
  static_assert(kGradeRoom <= 16 && records::kMaxElapsedLength <= 16,
                "put_short_text() copies the grade and the elapsed time");
  const KnownName& name = known_name(test.name);
  char* at = put_row_time(test.start, test.start_text, waiting_ + waiting_size_);
  *at++ = ',';
  at = put_row_time(test.end, test.end_text, at);
  *at++ = ',';
  if (name.field.size() <= KnownName::kShort) {
    std::memcpy(at, name.bytes, KnownName::kShort);
    at += name.field.size();
  } else if (name.field.size() <= kNameRoom) {
    std::memcpy(at, name.field.data(), name.field.size());
    at += name.field.size();
  } else {
    at = flush_up_to(at, out);
    out->append(name.field);
  }
  *at++ = ',';
  at = put_integer(test.addend_limit, at);
  *at++ = ',';
  at = put_integer(test.right, at);
  *at++ = ',';
  at = std::copy(kProblemCountText.begin(), kProblemCountText.end(), at);
  *at++ = ',';
  at = put_integer(test.percent, at);
  *at++ = ',';
  const std::string_view grade = records::letter_grade(test.percent);
  at = put_short_text(grade.substr(0, kGradeRoom), at);
  *at++ = ',';
  if (test.elapsed.size() <= records::kMaxElapsedLength) {
    at = put_short_text(test.elapsed, at);
  } else {
    at = flush_up_to(at, out);
    out->append(test.elapsed);
  }
  *at++ = ',';
  at = put_integer(test.rating, at);
  *at++ = ',';
  // The whole array is copied, as for a short name.
  if (test.operations != last_operations_) {
    last_operations_ = test.operations;
    last_names_ = &records::names(test.operations);
  }
  std::memcpy(at, last_names_->bytes, sizeof last_names_->bytes);
  at += last_names_->size;
  *at++ = '\r';
  *at++ = '\n';
  waiting_size_ = static_cast<std::size_t>(at - waiting_);
  if (waiting_size_ < kWaitingRoom) return false;
  flush(out);
  return true;
}

void CsvRows::flush(std::string* out) { flush_up_to(waiting_ + waiting_size_, out); }

// Appends the waiting bytes up to `end` to `out`; the room is then empty,
// and its start, which is returned, is where the row goes on.
char* CsvRows::flush_up_to(char* end, std::string* out) {
  out->append(waiting_, end);
  waiting_size_ = 0;
  return waiting_;
}

// The name `name` with its safe field. Children mostly take turns: the
// name met after the last row's name is looked at first, in place.
[[gnu::always_inline]] inline const CsvRows::KnownName& CsvRows::known_name(std::string_view name) {
  const std::size_t guess = last_found_ + 1 < known_count_ ? last_found_ + 1 : 0;
  const KnownName& known = known_[guess];
  if (guess < known_count_ && records::same_text(known.name, name)) {
    last_found_ = guess;
    return known;
  }
  return look_up(name);
}

// The name `name` among the names met lately, made safe now when it is not
// one of them: it takes the place of the one remembered longest.
const CsvRows::KnownName& CsvRows::look_up(std::string_view name) {
  for (std::size_t at = 0; at < known_count_; ++at) {
    const KnownName& known = known_[at];
    if (known.name == name) {
      last_found_ = at;
      return known;
    }
  }
  std::size_t at;
  if (known_count_ < kKnownNames) {
    at = known_count_++;
  } else {
    at = next_replaced_;
    next_replaced_ = (next_replaced_ + 1) % kKnownNames;
  }
  KnownName& known = known_[at];
  known.name.assign(name);
  known.field.clear();
  append_csv_name(name, &known.field);
  std::memcpy(known.bytes, known.field.data(), std::min(known.field.size(), KnownName::kShort));
  last_found_ = at;
  return known;
}

// A spreadsheet that splits the line on ';' sees quotes only at the start
// of its own fields, so each part of a name after a ';' that a formula could
// start with gets its quote too: "x;=1+2" is written "x;'=1+2".
void append_csv_name(std::string_view name, std::string* out) {
  if (is_plain_name(name)) {
    out->append(name);
    return;
  }
  std::string guarded;
  for (std::size_t at = 0; at < name.size(); ++at) {
    const bool part_starts = at == 0 || name[at - 1] == ';';
    if (part_starts && starts_formula(name[at])) {
      if (guarded.empty()) guarded.assign(name.substr(0, at));
      guarded.push_back('\'');
    }
    if (!guarded.empty()) guarded.push_back(name[at]);
  }
  const std::string_view safe = guarded.empty() ? name : std::string_view(guarded);
  // Printable ASCII shows as it is; any other text as a terminal shows it,
  // in place. Quoted when the text shown asks for quotes (a name such as
  // "Zoë" does not).
  if (is_printable_ascii(safe)) {
    append_field(safe, out);
    return;
  }
  const std::size_t start = out->size();
  text::append_terminal_text(safe, out);
  if (!needs_quotes(std::string_view(*out).substr(start))) return;
  const std::string shown = out->substr(start);
  out->resize(start);
  append_field(shown, out);
}

namespace {

// Writes `time` as "YYYY-MM-DDTHH:MM:SS" at `at`, nothing when it is
// unknown, from the digits of its text as logged when the reader handed that
// out. Returns the end of what it wrote.
[[gnu::always_inline]] inline char* put_row_time(const text::CivilTime& time,
                                                 std::string_view logged, char* at) {
  if (char* end = records::put_iso_date_time_of(logged, time, 'T', at)) return end;
  return put_iso_date_time(time, 'T', at);
}

// Copies `text`, of at most 16 bytes, to `at` as at most two moves of a
// fixed size, which overlap: for these few bytes a loop or a call to
// memcpy costs more than the copy. Returns the end of what it wrote.
[[gnu::always_inline]] inline char* put_short_text(std::string_view text, char* at) {
  const char* from = text.data();
  const std::size_t size = text.size();
  if (size >= 8) {
    std::memcpy(at, from, 8);
    std::memcpy(at + size - 8, from + size - 8, 8);
  } else if (size >= 4) {
    std::memcpy(at, from, 4);
    std::memcpy(at + size - 4, from + size - 4, 4);
  } else if (size >= 2) {
    std::memcpy(at, from, 2);
    std::memcpy(at + size - 2, from + size - 2, 2);
  } else if (size == 1) {
    *at = *from;
  }
  return at + size;
}

// Whether the name is written as it stands, as most names are: printable
// ASCII without a space, a quote or a field separator of either kind, and
// no formula start at its front, so that it needs no guard, no quotes and
// no character shown in its stead. One table look-up a byte.
bool is_plain_name(std::string_view name) {
  static constexpr auto kPlain = [] {
    std::array<bool, 256> plain{};
    for (int c = '!'; c <= '~'; ++c) plain[static_cast<std::size_t>(c)] = true;
    plain[','] = plain[';'] = plain['"'] = false;
    return plain;
  }();
  if (!name.empty() && starts_formula(name.front())) return false;
  for (const char c : name) {
    if (!kPlain[static_cast<unsigned char>(c)]) return false;
  }
  return true;
}

// Whether a spreadsheet takes a cell that starts with `c` for a formula.
bool starts_formula(char c) {
  return c == '=' || c == '+' || c == '-' || c == '@' || c == '\t' || c == '\r';
}

// Whether every byte of `text` is printable ASCII, space to '~'.
bool is_printable_ascii(std::string_view text) {
  for (const char c : text) {
    if (c < ' ' || c > '~') return false;
  }
  return true;
}

// Whether the field holds a byte of kQuotedBytes: a table look-up a byte,
// where find_first_of would search the set once for each byte.
bool needs_quotes(std::string_view field) {
  static constexpr auto kQuoted = [] {
    std::array<bool, 256> quoted{};
    for (const char c : kQuotedBytes) quoted[static_cast<unsigned char>(c)] = true;
    return quoted;
  }();
  for (const char c : field) {
    if (kQuoted[static_cast<unsigned char>(c)]) return true;
  }
  return false;
}

// The field, in quotes when RFC 4180 asks for them.
void append_field(std::string_view field, std::string* out) {
  if (!needs_quotes(field)) {
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
