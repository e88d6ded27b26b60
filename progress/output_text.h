// The texts that every output of mathdrill-progress shows in the same way:
// logged times as ISO 8601 dates, and numbers written without locale or printf
// (whole, rounded to a tenth, or to a whole number). The table, the --child listing, the CSV rows,
// the page and the messages use them.
#ifndef PROGRESS_OUTPUT_TEXT_H_
#define PROGRESS_OUTPUT_TEXT_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "records/block_reader.h"

namespace progress {

// Appends "YYYY-MM-DD" to `out`: the year with at least four digits, a '-'
// before a negative one ("0099-01-05", "-0005-03-01", "12026-12-08").
// Nothing when the time is unknown.
void append_iso_date(const text::CivilTime& time, std::string* out);

// Appends the date, `separator`, then "HH:MM:SS" to `out`:
// "2026-12-08T10:04:00" with 'T'. Nothing when the time is unknown.
void append_iso_date_time(const text::CivilTime& time, char separator, std::string* out);

// The most bytes that put_iso_date_time() writes: a '-', the 20 digits of
// the largest 64-bit magnitude, and "-MM-DDTHH:MM:SS".
inline constexpr std::size_t kIsoDateTimeRoom = 1 + 20 + 15;

// Write the same texts as the two above at `at`, which has room for
// kIsoDateTimeRoom bytes, and return the end of what they wrote: for rows
// built in place.
char* put_iso_date(const text::CivilTime& time, char* at);
char* put_iso_date_time(const text::CivilTime& time, char separator, char* at);

// The sizes of what put_iso_date_time() and put_integer() write, found
// without writing it where that is quick: for columns measured before
// their rows are written.
std::size_t iso_date_time_size(const text::CivilTime& time);
std::size_t integer_size(std::int64_t value);

// The most bytes that put_integer() writes: a '-' and 19 digits.
inline constexpr std::size_t kIntegerRoom = 20;

// Writes the decimal text of `value` at `at`, which has room for
// kIntegerRoom bytes. Returns the end of what it wrote.
char* put_integer(std::int64_t value, char* at);

// Appends the decimal text of `value` to `out`.
void append_integer(std::int64_t value, std::string* out);

// The decimal text of `value`.
std::string integer_text(std::int64_t value);

// `value` rounded to the nearest tenth, without the ".0" of a whole number:
// "41", "40.5", "-5", "1000000". Values of a billion or more in size are
// written in the shortest exponent form ("1e+100").
std::string tenths_text(double value);

// `value` rounded to the nearest whole number, halves away from zero.
std::string rounded_text(double value);

}  // namespace progress

#endif  // PROGRESS_OUTPUT_TEXT_H_
