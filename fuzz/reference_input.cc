#include "fuzz/reference_input.h"

#include <algorithm>

namespace fuzzing {

namespace {

bool is_decimal(char c) { return c >= '0' && c <= '9'; }

// The value of a hexadecimal digit, or 16 for any other byte.
unsigned hex_digit(char c) {
  static constexpr std::string_view kDigits = "0123456789abcdef";
  const char lower = (c >= 'A' && c <= 'F') ? static_cast<char>(c - 'A' + 'a') : c;
  const std::size_t at = kDigits.find(lower);
  return at == std::string_view::npos ? 16u : static_cast<unsigned>(at);
}

// `magnitude` (below 2^32), negated when asked, as the signed 32-bit value
// with the same residue modulo 2^32.
std::int32_t to_int32(std::int64_t magnitude, bool negative) {
  constexpr std::int64_t kModulus = std::int64_t{1} << 32;
  std::int64_t value = negative ? (kModulus - magnitude) % kModulus : magnitude;
  if (value >= kModulus / 2) value -= kModulus;
  return static_cast<std::int32_t>(value);
}

}  // namespace

bool is_separator(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

Outcome ReferenceInput::read_word(std::string& word) {
  if (Outcome outcome = begin_read(); outcome != Outcome::ok) return outcome;
  std::size_t end = position_;
  while (end < text_.size() && !is_separator(text_[end])) ++end;
  word.assign(text_.substr(position_, end - position_));
  std::replace(word.begin(), word.end(), '\0', '?');
  finish_token(end);
  return Outcome::ok;
}

Outcome ReferenceInput::read_integer(std::int32_t* value) {
  if (Outcome outcome = begin_read(); outcome != Outcome::ok) return outcome;
  constexpr std::int64_t kModulus = std::int64_t{1} << 32;
  const std::string_view rest = text_.substr(position_);
  std::size_t at = 0;
  const bool negative = !rest.empty() && rest[0] == '-';
  if (!rest.empty() && (rest[0] == '-' || rest[0] == '+')) ++at;

  std::int64_t magnitude = 0;
  bool has_digits = false;
  if (at + 1 < rest.size() && rest[at] == '0' && (rest[at + 1] == 'x' || rest[at + 1] == 'X')) {
    at += 2;
    for (; at < rest.size() && hex_digit(rest[at]) < 16; ++at) {
      magnitude = (magnitude * 16 + hex_digit(rest[at])) % kModulus;
      has_digits = true;
    }
  } else if (at < rest.size() && rest[at] == '0') {
    // The octal digits are the run of 0..7 after the leading 0; the decimal
    // run they start is consumed in full.
    has_digits = true;
    std::size_t run_end = at + 1;
    while (run_end < rest.size() && is_decimal(rest[run_end])) ++run_end;
    for (std::size_t i = at + 1; i < run_end && rest[i] <= '7'; ++i) {
      magnitude = (magnitude * 8 + (rest[i] - '0')) % kModulus;
    }
    at = run_end;
  } else {
    for (; at < rest.size() && is_decimal(rest[at]); ++at) {
      magnitude = (magnitude * 10 + (rest[at] - '0')) % kModulus;
      has_digits = true;
    }
  }

  finish_token(position_ + at);
  if (!has_digits) {
    failed_ = true;
    return Outcome::not_a_number;
  }
  *value = to_int32(magnitude, negative);
  return Outcome::ok;
}

// Refuses once the input is no longer good, skips whitespace, and fails with
// `ended` when nothing else is left.
Outcome ReferenceInput::begin_read() {
  if (!good()) {
    failed_ = true;
    return Outcome::not_good;
  }
  while (position_ < text_.size() && is_separator(text_[position_])) ++position_;
  if (position_ == text_.size()) {
    end_of_input_ = true;
    failed_ = true;
    return Outcome::ended;
  }
  return Outcome::ok;
}

// Consumes a token up to `end`. A token that runs to the last byte was only
// known to be over by looking past it, which meets the end of input.
void ReferenceInput::finish_token(std::size_t end) {
  position_ = end;
  if (position_ == text_.size()) end_of_input_ = true;
}

}  // namespace fuzzing
