// The texts that every output of mathdrill-progress shows in the same way:
// logged times as ISO 8601 dates, numbers written without locale or printf
// (whole, rounded to a tenth, or to a whole number), UTF-8 read one
// character at a time, and names made safe for a terminal or a
// spreadsheet. The table, the --child listing, the CSV rows, the page and
// the messages use them.
#ifndef PROGRESS_OUTPUT_TEXT_H_
#define PROGRESS_OUTPUT_TEXT_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "records/block_reader.h"

namespace progress {

// Appends "YYYY-MM-DD" to `out`: the year with at least four digits, a '-'
// before a negative one ("0099-01-05", "-0005-03-01", "12026-12-08").
// Nothing when the time is unknown.
void append_iso_date(const records::LoggedTime& time, std::string& out);

// Appends the date, `separator`, then "HH:MM:SS" to `out`:
// "2026-12-08T10:04:00" with 'T'. Nothing when the time is unknown.
void append_iso_date_time(const records::LoggedTime& time, char separator, std::string& out);

// Appends the decimal text of `value` to `out`.
void append_integer(std::int64_t value, std::string& out);

// The decimal text of `value`.
std::string integer_text(std::int64_t value);

// `value` rounded to the nearest tenth, without the ".0" of a whole number:
// "41", "40.5", "-5", "1000000". Values of a billion or more in size are
// written in the shortest exponent form ("1e+100").
std::string tenths_text(double value);

// `value` rounded to the nearest whole number, halves away from zero.
std::string rounded_text(double value);

// One character read from UTF-8 text: its code point and the bytes it
// takes. Where the bytes are not well-formed UTF-8 (a stray continuation
// byte, a cut sequence, an overlong form, a surrogate, or past U+10FFFF),
// `valid` is false and `length` covers the bytes that stand for one
// replacement character: the longest start of a well-formed sequence, or
// else one byte, as Unicode advises and browsers do; `code_point` then
// holds the first of them.
struct Utf8Character {
  char32_t code_point = 0;
  std::size_t length = 1;
  bool valid = false;
};

// The character that starts at `at` in `text`, which must be before its
// end.
Utf8Character read_utf8(std::string_view text, std::size_t at);

// Whether `code_point` is one that no output shows as it is: a control
// character (U+0000-U+001F, U+007F-U+009F), which could move a terminal's
// cursor or change its state, or a bidirectional override or isolate
// (U+202A-U+202E, U+2066-U+2069), which reorders the text around it.
bool hidden_character(char32_t code_point);

// `text` made safe to show on a terminal or in a spreadsheet, so that a
// name from a file cannot move the cursor, change colours or the title,
// or disguise itself: each hidden_character, and each byte 0x80-0x9F that
// is no part of a character (an 8-bit terminal reads it as a control),
// becomes '?'; other bytes that are not well-formed UTF-8 become U+FFFD,
// the replacement character. Anything else stays as it is.
std::string terminal_text(std::string_view text);

// Appends terminal_text(text) to `out`.
void append_terminal_text(std::string_view text, std::string& out);

}  // namespace progress

#endif  // PROGRESS_OUTPUT_TEXT_H_
