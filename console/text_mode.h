// Text-stream translation for consoles whose lines end in CR LF (Windows):
// a ByteSource and a ByteSink that wrap the raw standard streams, so the
// console streams above them see lines that end in a lone newline. The
// platform layer (system.h) plugs them in on Windows only; elsewhere the
// bytes pass untranslated. The pair is pure byte shuffling, so its tests run
// on every platform.
#ifndef CONSOLE_TEXT_MODE_H_
#define CONSOLE_TEXT_MODE_H_

#include <cstddef>

#include "console/byte_stream.h"

namespace console {

// The console's input as a text stream. Each CR LF arrives as one newline,
// also when the CR and the LF come in different reads; a CR not followed by
// LF stays as it is. A Ctrl-Z byte (0x1A) cuts its line: the bytes before it
// are delivered, and it and the rest of the line, the line end included, are
// dropped. A Ctrl-Z at the start of a line is the end of input, for good.
class TextModeSource : public ByteSource {
 public:
  explicit TextModeSource(ByteSource& raw) : raw_(raw) {}
  TextModeSource(const TextModeSource&) = delete;
  TextModeSource& operator=(const TextModeSource&) = delete;

  // Returns at least one translated byte, reading the raw source as often as
  // that takes, or 0 at the end of input (the raw source's end or error, or a
  // line that begins with Ctrl-Z). A CR at the raw source's end is delivered
  // as a lone CR.
  std::size_t read(char* buffer, std::size_t size) override;

 private:
  std::size_t translate(char* buffer, std::size_t size);

  ByteSource& raw_;
  char raw_bytes_[1024];
  std::size_t position_ = 0;  // the next raw byte not yet translated
  std::size_t filled_ = 0;
  bool raw_ended_ = false;
  bool ended_ = false;            // a line began with Ctrl-Z
  bool carriage_return_ = false;  // a CR was read; what follows decides
  bool line_start_ = true;        // the next byte begins a line
  bool cutting_ = false;          // dropping the rest of a line after Ctrl-Z
};

// The console's output as a text stream: each newline goes out as CR LF.
// Every other byte, a CR included, goes out unchanged.
class TextModeSink : public ByteSink {
 public:
  explicit TextModeSink(ByteSink& raw) : raw_(raw) {}
  TextModeSink(const TextModeSink&) = delete;
  TextModeSink& operator=(const TextModeSink&) = delete;

  // Hands the translated bytes to the raw sink, in pieces of at most 2048
  // bytes. Returns false as soon as the raw sink refuses a piece; the bytes
  // after it are not written.
  bool write(const char* data, std::size_t size) override;

 private:
  ByteSink& raw_;
};

}  // namespace console

#endif  // CONSOLE_TEXT_MODE_H_
