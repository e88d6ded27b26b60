#include "progress/log_numbers.h"

#include <limits>

namespace progress {

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool parse_exponent_form(std::string_view text, double* magnitude);

}  // namespace

bool parse_elapsed(std::string_view text, double* seconds) {
  const bool negative = !text.empty() && text[0] == '-';
  const std::string_view magnitude_text = negative ? text.substr(1) : text;
  double magnitude = 0;
  std::int64_t whole = 0;
  // "%g" shows six significant digits, so it writes an integer of up to six
  // digits as it is, and a larger one with an exponent.
  if (magnitude_text.size() <= 6 && parse_decimal(magnitude_text, 0, 999999, &whole)) {
    if (negative && whole == 0) return false;  // "-0"
    magnitude = static_cast<double>(whole);
  } else if (!parse_exponent_form(magnitude_text, &magnitude)) {
    return false;
  }
  *seconds = negative ? -magnitude : magnitude;
  return true;
}

namespace {

// "D[.DDDDD]e+XX" with a first digit of 1..9, a fraction of one to five
// digits not ending in 0, and an exponent of two digits from 06 or of three
// digits up to 308 (the largest a double reaches).
bool parse_exponent_form(std::string_view text, double* magnitude) {
  const std::size_t e = text.find('e');
  if (e == std::string_view::npos) return false;
  std::string_view mantissa = text.substr(0, e);
  std::string_view exponent = text.substr(e + 1);
  if (mantissa.empty() || mantissa[0] < '1' || mantissa[0] > '9') return false;
  std::int64_t digits = mantissa[0] - '0';
  int fraction_digits = 0;
  if (mantissa.size() > 1) {
    std::string_view fraction = mantissa.substr(1);
    if (fraction.size() < 2 || fraction.size() > 6 || fraction[0] != '.' ||
        fraction.back() == '0') {
      return false;
    }
    for (char c : fraction.substr(1)) {
      if (!is_digit(c)) return false;
      digits = digits * 10 + (c - '0');
      ++fraction_digits;
    }
  }
  if (exponent.size() < 3 || exponent.size() > 4 || exponent[0] != '+') return false;
  exponent.remove_prefix(1);
  if (exponent.size() == 3 && exponent[0] == '0') return false;
  int power = 0;
  for (char c : exponent) {
    if (!is_digit(c)) return false;
    power = power * 10 + (c - '0');
  }
  if (power < 6 || power > 308) return false;
  double value = static_cast<double>(digits);
  for (int i = fraction_digits; i < power; ++i) value *= 10;
  // Past the largest double the product is infinite: "%g" never writes that.
  if (value > std::numeric_limits<double>::max()) return false;
  *magnitude = value;
  return true;
}

}  // namespace

}  // namespace progress
