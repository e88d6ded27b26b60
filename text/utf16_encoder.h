// UTF-8 to UTF-16 for the Windows console: the drill writes its dialogue in
// UTF-8, and where its output is a console it hands the console UTF-16
// (WriteConsoleW), so that a name shows as it was typed whatever the
// console's code page. Pure and portable, so it is tested on every
// platform; StandardOutput in system_windows.cc is its user.
#ifndef TEXT_UTF16_ENCODER_H_
#define TEXT_UTF16_ENCODER_H_

#include <cstddef>

namespace text {

// The most UTF-8 bytes that a piece may leave for the next one: the start
// of a character cut between two writes.
inline constexpr std::size_t kUtf8Pending = 3;

// Converts UTF-8 to UTF-16 one piece at a time, as the drill writes it: a
// character cut between two pieces is joined. Bytes that are not UTF-8 each
// become one U+FFFD for the bytes that stand for one replacement character
// (read_utf8). Nothing can fail.
class Utf16Encoder {
 public:
  // Converts the `size` bytes at `bytes` and writes their UTF-16 to `out`,
  // which must have room for `size` + kUtf8Pending units. Returns how many
  // units it wrote. The start of a character cut at the end is kept for the
  // next piece.
  std::size_t encode(const char* bytes, std::size_t size, char16_t* out);

  // At the end of the output: writes U+FFFD for a cut character still kept,
  // to `out` (room for one unit), and returns how many units it wrote.
  std::size_t finish(char16_t* out);

 private:
  char pending_[kUtf8Pending] = {};
  std::size_t pending_size_ = 0;
};

}  // namespace text

#endif  // TEXT_UTF16_ENCODER_H_
