// The console output stream: buffered text, integer and floating output over
// a ByteSink, used by the drill for every prompt, verdict and report line.
// Bytes wait in a 1024-byte buffer and reach the sink at each line end, when
// the buffer fills, when a read on the tied input stream is about to wait,
// and when the stream is destroyed. A failed write sets the bad flag; from
// then on all output is dropped and the program goes on.
#ifndef CONSOLE_CONSOLE_OUTPUT_H_
#define CONSOLE_CONSOLE_OUTPUT_H_

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "console/byte_stream.h"

namespace console {

// Insert `line_end` to write a newline and flush.
struct LineEnd {};
inline constexpr LineEnd line_end{};

class ConsoleOutput {
 public:
  explicit ConsoleOutput(ByteSink& sink) : sink_(sink) {}
  ConsoleOutput(const ConsoleOutput&) = delete;
  ConsoleOutput& operator=(const ConsoleOutput&) = delete;
  // Flushes what is still buffered.
  ~ConsoleOutput() { flush(); }

  // Writes the bytes of `text` unchanged, up to its first NUL if it has one.
  ConsoleOutput& operator<<(std::string_view text);
  // The same for a C string, which ends at its first NUL. Inline, so that a
  // literal's length is known where it is written and its copy is a plain
  // one.
  ConsoleOutput& operator<<(const char* text) {
    put(text, std::strlen(text));
    return *this;
  }
  // Writes `value` in decimal.
  ConsoleOutput& operator<<(std::int32_t value);
  // Writes `value` as printf's "%g" does.
  ConsoleOutput& operator<<(double value);
  // Writes a newline, then flushes.
  ConsoleOutput& operator<<(LineEnd) {
    put("\n", 1);
    flush();
    return *this;
  }

  // Hands the buffered bytes to the sink. If the sink refuses them the
  // stream turns bad and they are dropped.
  void flush();

 private:
  // Copies bytes into the buffer. Bytes that leave room in it are copied
  // here, inline: nearly all of them are. Bytes copied while the stream is
  // bad are dropped by the next flush. Cannot fail.
  void put(const char* data, std::size_t size) {
    if (size < sizeof buffer_ - used_) {
      std::memcpy(buffer_ + used_, data, size);
      used_ += size;
    } else {
      put_filling(data, size);
    }
  }
  // Copies bytes that fill the buffer, flushing each time it is full; stops
  // when the stream turns bad.
  void put_filling(const char* data, std::size_t size);

  ByteSink& sink_;
  char buffer_[1024];
  std::size_t used_ = 0;
  bool bad_ = false;
};

}  // namespace console

#endif  // CONSOLE_CONSOLE_OUTPUT_H_
