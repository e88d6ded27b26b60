// A second, independent reading of the console's input rules, for the fuzz
// targets. It works on the whole input as one string with plain index
// arithmetic and 64-bit values, where console::ConsoleInput streams through a
// buffer with 32-bit wrap-around, so the two can be compared byte for byte:
// fuzz/number_fuzz.cc checks every word and integer read against it, and
// fuzz/session_fuzz.cc uses it to know what the drill must have read.
#ifndef FUZZ_REFERENCE_INPUT_H_
#define FUZZ_REFERENCE_INPUT_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace fuzzing {

// How one read went; the same four cases as console::ReadResult.
enum class Outcome { ok, ended, not_a_number, not_good };

class ReferenceInput {
 public:
  explicit ReferenceInput(std::string_view text) : text_(text) {}

  // Skips whitespace and takes the whole word that follows, a NUL byte in it
  // taken as '?'. `ended` when
  // only whitespace is left, `not_good` once an earlier read met the end of
  // the text or failed; `word` is then left as it was.
  Outcome read_word(std::string& word);

  // Skips whitespace and reads an optionally signed integer: "0x"/"0X" and
  // hexadecimal digits, else a leading 0 and octal digits up to the first 8
  // or 9 (the rest of the digit run is consumed and ignored), else decimal
  // digits; the value is taken modulo 2^32 into the signed 32-bit range.
  // `not_a_number` when no digit belongs to the number (the sign and an "0x"
  // are consumed), `ended` and `not_good` as for words. `value` changes only
  // on `ok`.
  Outcome read_integer(std::int32_t* value);

  // What no read has consumed yet.
  std::string_view unread() const { return text_.substr(position_); }
  // Whether a read has looked past the last byte.
  bool end_of_input() const { return end_of_input_; }
  // Whether a read has failed (end of input before a token included).
  bool failed() const { return failed_; }
  bool good() const { return !end_of_input_ && !failed_; }

 private:
  Outcome begin_read();
  void finish_token(std::size_t end);

  std::string_view text_;
  std::size_t position_ = 0;
  bool end_of_input_ = false;
  bool failed_ = false;
};

// Whether `c` is one of the bytes that separate words: space, \t, \n, \v,
// \f or \r.
bool is_separator(char c);

}  // namespace fuzzing

#endif  // FUZZ_REFERENCE_INPUT_H_
