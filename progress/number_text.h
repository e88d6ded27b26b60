// Numbers as the outputs show them, written without locale or printf: whole
// numbers in decimal, and figures such as a median of seconds rounded to a
// tenth. Used by the table, the --child listing, the CSV rows and the page.
#ifndef PROGRESS_NUMBER_TEXT_H_
#define PROGRESS_NUMBER_TEXT_H_

#include <cstdint>
#include <string>

namespace progress {

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

#endif  // PROGRESS_NUMBER_TEXT_H_
