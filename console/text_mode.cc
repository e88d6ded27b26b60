#include "console/text_mode.h"

namespace console {

namespace {

constexpr char kCtrlZ = '\x1a';

}  // namespace

std::size_t TextModeSource::read(char* buffer, std::size_t size) {
  if (size == 0) return 0;
  for (;;) {
    std::size_t n = translate(buffer, size);
    // Translated bytes are handed out at once, so a line typed at the console
    // is delivered without waiting for the next one.
    if (n > 0 || ended_ || raw_ended_) return n;
    filled_ = raw_.read(raw_bytes_, sizeof raw_bytes_);
    position_ = 0;
    if (filled_ == 0) raw_ended_ = true;
  }
}

// Translates the raw bytes read so far into `buffer` until it is full, they
// run out, or a line begins with Ctrl-Z. Returns how many bytes it stored.
std::size_t TextModeSource::translate(char* buffer, std::size_t size) {
  std::size_t n = 0;
  while (n < size && !ended_) {
    if (position_ == filled_) {
      // A CR at the very end of the input has no LF left to join it.
      if (raw_ended_ && carriage_return_) {
        carriage_return_ = false;
        line_start_ = false;
        buffer[n++] = '\r';
      }
      break;
    }
    const char c = raw_bytes_[position_];
    if (carriage_return_) {
      carriage_return_ = false;
      if (c == '\n') {
        ++position_;
        line_start_ = true;
        buffer[n++] = '\n';
        continue;
      }
      // A lone CR; `c` is looked at again in the next pass, when there is
      // room for it.
      line_start_ = false;
      buffer[n++] = '\r';
      continue;
    }
    ++position_;
    if (cutting_) {
      if (c == '\n') {
        cutting_ = false;
        line_start_ = true;
      }
    } else if (c == '\r') {
      carriage_return_ = true;
    } else if (c == kCtrlZ) {
      if (line_start_) {
        ended_ = true;
      } else {
        cutting_ = true;
      }
    } else {
      line_start_ = c == '\n';
      buffer[n++] = c;
    }
  }
  return n;
}

bool TextModeSink::write(const char* data, std::size_t size) {
  // Twice the console output's buffer, so each of its flushes goes out as
  // one raw write.
  char piece[2048];
  std::size_t used = 0;
  for (std::size_t i = 0; i < size; ++i) {
    if (used + 2 > sizeof piece) {
      if (!raw_.write(piece, used)) return false;
      used = 0;
    }
    if (data[i] == '\n') piece[used++] = '\r';
    piece[used++] = data[i];
  }
  return used == 0 || raw_.write(piece, used);
}

}  // namespace console
