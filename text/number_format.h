// Number texts shared by the console output stream, the problem prompts and
// the results log: decimal integers and floating values in the "%g" form.
// Integers and whole floating values (every elapsed time the drill shows) are
// formatted in integer arithmetic, with no locale, no printf machinery and no
// floating-point library, so the drill loads nothing beyond the C library.
#ifndef TEXT_NUMBER_FORMAT_H_
#define TEXT_NUMBER_FORMAT_H_

#include <cstdint>
#include <string_view>

namespace text {

// Room for any text the functions below produce.
struct NumberText {
  char bytes[32];
  unsigned char size = 0;
  std::string_view view() const { return {bytes, size}; }
};

// The decimal text of `value`: a '-' for negative values and nothing else.
NumberText format_integer(std::int64_t value);

// `value` as printf's "%g" prints it: six significant digits, trailing zeros
// removed, exponent form below 1e-4 and from 1e6 on ("1e+06",
// "1.23457e+06"). Values that are not whole or reach 2^64 in magnitude, which
// the drill never shows, are handed to the C library's snprintf in the C
// locale the program keeps.
NumberText format_general(double value);

}  // namespace text

#endif  // TEXT_NUMBER_FORMAT_H_
