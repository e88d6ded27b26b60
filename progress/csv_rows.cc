#include "progress/csv_rows.h"

#include <charconv>
#include <cstring>

#include "progress/log_time.h"

namespace progress {

namespace {

char* put(char* at, std::string_view text);
char* put_time(char* at, const TimeText& time);
char* put_name(char* at, const LoggedTest& test);
char* put_integer(char* at, std::int64_t value);
char* put_field(char* at, std::string_view field);
bool needs_quotes(std::string_view field);

}  // namespace

void append_csv_header(std::string* out) {
  out->append("started,ended,name,addend_limit,right,out_of,percent,grade,seconds,score\r\n");
}

// The row is put together in a buffer on the stack and appended at once:
// a name of 255 bytes, all quotes, doubles to 512 in quotes, and the other
// fields take less than 200, with fewer than 64 bytes copied past them.
void append_csv_row(const LoggedTest& test, std::string* out) {
  char row[1024];
  char* at = row;
  at = put_time(at, iso_date_time(test.start));
  *at++ = ',';
  at = put_time(at, iso_date_time(test.end));
  *at++ = ',';
  at = put_name(at, test);
  *at++ = ',';
  at = put_integer(at, test.addend_limit);
  *at++ = ',';
  at = put_integer(at, test.right);
  *at++ = ',';
  at = put_integer(at, kProblems);
  *at++ = ',';
  at = put_integer(at, test.percent);
  *at++ = ',';
  at = put(at, letter_grade(test.percent));
  *at++ = ',';
  // Copied whole, like the times and short names: a copy of constant size
  // is a few moves, one of a size known only now a slow loop, and the row
  // has room for the bytes past the text.
  std::memcpy(at, test.elapsed_bytes, sizeof test.elapsed_bytes);
  at += test.elapsed_size;
  *at++ = ',';
  at = put_integer(at, test.rating);
  *at++ = '\r';
  *at++ = '\n';
  out->append(row, static_cast<std::size_t>(at - row));
}

void append_csv_field(std::string_view field, std::string* out) {
  const std::size_t size = out->size();
  out->resize(size + 2 * field.size() + 2);
  out->resize(static_cast<std::size_t>(put_field(out->data() + size, field) - out->data()));
}

namespace {

char* put(char* at, std::string_view text) {
  std::memcpy(at, text.data(), text.size());
  return at + text.size();
}

char* put_time(char* at, const TimeText& time) {
  std::memcpy(at, time.bytes, sizeof time.bytes);
  return at + time.size;
}

char* put_name(char* at, const LoggedTest& test) {
  constexpr std::size_t kShort = 32;
  static_assert(sizeof test.name_bytes >= kShort);
  if (test.name_size > kShort || needs_quotes(test.name())) return put_field(at, test.name());
  std::memcpy(at, test.name_bytes, kShort);
  return at + test.name_size;
}

char* put_integer(char* at, std::int64_t value) { return std::to_chars(at, at + 24, value).ptr; }

// The field, in quotes when RFC 4180 asks for them; at most 2 * size + 2
// bytes.
char* put_field(char* at, std::string_view field) {
  if (!needs_quotes(field)) return put(at, field);
  *at++ = '"';
  for (char c : field) {
    if (c == '"') *at++ = '"';
    *at++ = c;
  }
  *at++ = '"';
  return at;
}

bool needs_quotes(std::string_view field) {
  for (char c : field) {
    if (c == ',' || c == '"' || c == '\r' || c == '\n') return true;
  }
  return false;
}

}  // namespace

}  // namespace progress
