// The console input stream: word and integer input over a ByteSource, used
// by the drill for the name, the addend limit, every answer and the go-again
// question. It reads ahead through a 1024-byte buffer, skips whitespace before
// every read, and reads integers with an automatic base (0x.. hexadecimal,
// 0.. octal, else decimal). End of input and failure are permanent: once
// either flag is set, every later read returns at once, consumes nothing,
// leaves its target unchanged and flushes nothing.
#ifndef CONSOLE_CONSOLE_INPUT_H_
#define CONSOLE_CONSOLE_INPUT_H_

#include <cstddef>
#include <cstdint>

#include "console/byte_stream.h"
#include "console/console_output.h"

namespace console {

// How one read went. Only `ok` stores into the target.
enum class ReadResult {
  ok,            // stored; end of input may have been met right after it
  ended,         // end of input before any non-whitespace byte
  not_a_number,  // text was there, but no integer could be read from it
  not_good,      // the stream had already met end of input or failed
};

class ConsoleInput {
 public:
  // `tie`, when not null, is flushed before every read made while the stream
  // is good, so a prompt is on the screen before the program waits.
  ConsoleInput(ByteSource& source, ConsoleOutput* tie) : source_(source), tie_(tie) {}
  ConsoleInput(const ConsoleInput&) = delete;
  ConsoleInput& operator=(const ConsoleInput&) = delete;

  // Reads one whitespace-delimited word into `buffer` (of `size` bytes, at
  // least 1) and NUL-terminates it. The whole word is consumed; bytes that do
  // not fit are dropped. A NUL byte typed in the word, which would end it
  // early as a C string, is stored as '?', as the drill shows every control
  // byte. The whitespace after the word stays unread. At end of input before
  // a word: `ended`, buffer untouched.
  ReadResult read_word(char* buffer, std::size_t size);

  // Reads an optionally signed integer with automatic base into `target`.
  // The digits are consumed however many there are; the value is reduced
  // modulo 2^32 into the signed 32-bit range. The first byte that cannot
  // continue the number stays unread. A lone sign, "0x" without hex digits,
  // or a non-digit: `not_a_number`, target untouched, the sign or prefix
  // consumed. At end of input before any text: `ended`.
  ReadResult read_integer(std::int32_t* target);

  // After read_integer() returned `not_a_number`, for a message: the text
  // that could not be read as a number, the sign or "0x" prefix that read
  // consumed followed by the rest of that word, which is consumed now up to
  // the next whitespace or the end of input. Stores at most `size` - 1 bytes
  // (`size` at least 1), drops the rest, NUL-terminates and returns how many
  // it stored. The stream stays failed. After any other read: stores "".
  std::size_t take_rejected_word(char* buffer, std::size_t size);

  bool good() const { return !end_of_input_ && !failed_; }
  bool end_of_input() const { return end_of_input_; }
  bool failed() const { return failed_; }

 private:
  ReadResult begin_read();
  int peek();
  void advance() { ++position_; }

  ByteSource& source_;
  ConsoleOutput* tie_;
  char buffer_[1024];
  std::size_t position_ = 0;
  std::size_t filled_ = 0;
  bool end_of_input_ = false;
  bool failed_ = false;
  // Whether the last read was a read_integer() that found no number, and
  // what it consumed before it failed: a sign, "0x".
  bool number_rejected_ = false;
  char rejected_[3] = {};
  std::size_t rejected_size_ = 0;
};

// Upper-case conversion without a locale: 'a'..'z' become 'A'..'Z'; every
// other value, bytes 0x80..0xFF passed sign-extended and -1 included, comes
// back unchanged.
int to_upper(int c);

}  // namespace console

#endif  // CONSOLE_CONSOLE_INPUT_H_
