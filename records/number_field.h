// The numbers of the records formats, as "%d" writes them: an optional '-',
// then digits with no leading zero ("0" alone is zero, and "-0" is never
// written). The one reader of every number field of a block and of a
// timestamp's year: the block reader's line reader and its whole-block fast
// path, and the timestamp reader. Always inlined, as it is read for every
// field of every block and a call costs as much as the few digits do.
#ifndef RECORDS_NUMBER_FIELD_H_
#define RECORDS_NUMBER_FIELD_H_

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace records {

// The most digits a number field may have: no field needs more.
inline constexpr std::size_t kMaxFieldDigits = 18;

// Reads the number at the start of `text`, in one pass: its value in
// `*value` and how many bytes it takes. 0, with `*value` as it was, when
// there is none there, when '-' or a digit follows the number read (it is
// part of a longer text that is no number), for more than kMaxFieldDigits
// digits, and for a value outside [min, max].
[[gnu::always_inline]] inline std::size_t read_number_field(std::string_view text, std::int64_t min,
                                                            std::int64_t max, std::int64_t* value) {
  const char* const start = text.data();
  const std::size_t size = text.size();
  const bool negative = size > 0 && *start == '-';
  const char* const digits = start + (negative ? 1 : 0);
  const std::size_t available = size - (negative ? 1 : 0);
  // One digit past the most allowed tells a longer number; the value of
  // kMaxFieldDigits + 1 digits still fits in 64 bits without a sign.
  const std::size_t most = available < kMaxFieldDigits + 1 ? available : kMaxFieldDigits + 1;
  std::uint64_t magnitude = 0;
  std::size_t count = 0;
  while (count < most) {
    const auto digit = static_cast<unsigned char>(digits[count] - '0');
    if (digit >= 10) break;
    magnitude = magnitude * 10 + digit;
    ++count;
  }
  // The digits stop at a byte that is no digit, at the end of the text, or
  // past the most allowed: then only a '-' can still make the text longer.
  if (count == 0 || count > kMaxFieldDigits || (*digits == '0' && (count > 1 || negative)) ||
      (count < available && digits[count] == '-')) {
    return 0;
  }
  // At most kMaxFieldDigits digits: the magnitude fits a signed number.
  const auto signed_magnitude = static_cast<std::int64_t>(magnitude);
  const std::int64_t read = negative ? -signed_magnitude : signed_magnitude;
  if (read < min || read > max) return 0;
  *value = read;
  return count + (negative ? 1 : 0);
}

}  // namespace records

#endif  // RECORDS_NUMBER_FIELD_H_
