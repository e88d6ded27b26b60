#include "console/console_input.h"

namespace console {

namespace {

bool is_space(int c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool is_digit(int c) { return c >= '0' && c <= '9'; }

// The value of a hexadecimal digit, or -1.
int hex_value(int c) {
  if (is_digit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

ReadResult ConsoleInput::read_word(char* buffer, std::size_t size) {
  number_rejected_ = false;
  if (ReadResult result = begin_read(); result != ReadResult::ok) return result;
  std::size_t stored = 0;
  for (int c = peek(); c >= 0 && !is_space(c); c = peek()) {
    if (stored + 1 < size) buffer[stored++] = c == '\0' ? '?' : static_cast<char>(c);
    advance();
  }
  buffer[stored] = '\0';
  return ReadResult::ok;
}

ReadResult ConsoleInput::read_integer(std::int32_t* target) {
  number_rejected_ = false;
  rejected_size_ = 0;
  if (ReadResult result = begin_read(); result != ReadResult::ok) return result;

  bool negative = false;
  if (int c = peek(); c == '+' || c == '-') {
    negative = c == '-';
    rejected_[rejected_size_++] = static_cast<char>(c);
    advance();
  }

  // All arithmetic is unsigned, so it wraps modulo 2^32 over every digit.
  std::uint32_t value = 0;
  bool number_seen = false;
  if (peek() == '0') {
    number_seen = true;
    advance();
    if (int c = peek(); c == 'x' || c == 'X') {
      rejected_[rejected_size_++] = '0';
      rejected_[rejected_size_++] = static_cast<char>(c);
      advance();
      number_seen = false;
      for (int digit = hex_value(peek()); digit >= 0; digit = hex_value(peek())) {
        value = value * 16 + static_cast<std::uint32_t>(digit);
        number_seen = true;
        advance();
      }
    } else {
      // Octal: digits count up to the first 8 or 9; the rest of the
      // decimal run is consumed and counts for nothing.
      bool counting = true;
      for (int c2 = peek(); is_digit(c2); c2 = peek()) {
        if (c2 >= '8') counting = false;
        if (counting) value = value * 8 + static_cast<std::uint32_t>(c2 - '0');
        advance();
      }
    }
  } else {
    for (int c = peek(); is_digit(c); c = peek()) {
      value = value * 10 + static_cast<std::uint32_t>(c - '0');
      number_seen = true;
      advance();
    }
  }

  if (!number_seen) {
    failed_ = true;
    number_rejected_ = true;
    return ReadResult::not_a_number;
  }
  if (negative) value = 0u - value;
  *target = static_cast<std::int32_t>(value);
  return ReadResult::ok;
}

std::size_t ConsoleInput::take_rejected_word(char* buffer, std::size_t size) {
  std::size_t stored = 0;
  auto store = [&](int c) {
    if (stored + 1 < size) buffer[stored++] = static_cast<char>(c);
  };
  if (number_rejected_) {
    for (std::size_t i = 0; i < rejected_size_; ++i) store(rejected_[i]);
    for (int c = peek(); c >= 0 && !is_space(c); c = peek()) {
      store(c);
      advance();
    }
  }
  number_rejected_ = false;
  buffer[stored] = '\0';
  return stored;
}

// The steps every read shares: refuse when the stream is no longer good,
// flush the tied output, skip whitespace, and notice end of input.
ReadResult ConsoleInput::begin_read() {
  if (!good()) {
    failed_ = true;
    return ReadResult::not_good;
  }
  if (tie_ != nullptr) tie_->flush();
  int c = peek();
  while (is_space(c)) {
    advance();
    c = peek();
  }
  if (c < 0) {
    failed_ = true;
    return ReadResult::ended;
  }
  return ReadResult::ok;
}

// The next byte, without consuming it, or -1 at end of input (which sets the
// end-of-input flag). Refills the buffer from the source when it is empty.
int ConsoleInput::peek() {
  if (position_ == filled_) {
    if (end_of_input_) return -1;
    filled_ = source_.read(buffer_, sizeof buffer_);
    position_ = 0;
    if (filled_ == 0) {
      end_of_input_ = true;
      return -1;
    }
  }
  return static_cast<unsigned char>(buffer_[position_]);
}

int to_upper(int c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; }

}  // namespace console
