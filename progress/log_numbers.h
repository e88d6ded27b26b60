// The number fields of the results log, read exactly as the drill writes
// them: integers as printf's "%d" writes them, and elapsed times as "%g"
// writes a whole number of seconds ("95", "-5", "1e+06", "1.23457e+06").
// Used by the block reader (block_format.cc). No locale, no allocation.
#ifndef PROGRESS_LOG_NUMBERS_H_
#define PROGRESS_LOG_NUMBERS_H_

#include <cstdint>
#include <string_view>

namespace progress {

// Reads a decimal integer in the "%d" form: an optional '-', then digits
// with no leading zero ("0" alone is zero). Returns false, leaving `*value`
// alone, for anything else ("", "+1", "-0", "007", " 1", "1x") and for
// values outside [min, max].
// Inline: the block reader calls it seven times a test.
inline bool parse_decimal(std::string_view text, std::int64_t min, std::int64_t max,
                          std::int64_t* value) {
  const bool negative = !text.empty() && text[0] == '-';
  if (negative) text.remove_prefix(1);
  // Nineteen digits could overflow; no value the log holds needs more than
  // eighteen.
  if (text.empty() || text.size() > 18 || (text[0] == '0' && (text.size() > 1 || negative))) {
    return false;
  }
  std::int64_t magnitude = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    magnitude = magnitude * 10 + (c - '0');
  }
  const std::int64_t result = negative ? -magnitude : magnitude;
  if (result < min || result > max) return false;
  *value = result;
  return true;
}

// Reads an elapsed time as "%g" writes a whole number of seconds: below a
// million in size as a plain integer ("0", "95", "-5", "999999"), from a
// million on as one digit, up to five decimals without trailing zeros and
// an exponent of at least 06 ("1e+06", "-1.23457e+06", "1e+100"). Stores the
// value (rounded as a double) in `*seconds`. Returns false, leaving it
// alone, for any other text.
bool parse_elapsed(std::string_view text, double* seconds);

}  // namespace progress

#endif  // PROGRESS_LOG_NUMBERS_H_
