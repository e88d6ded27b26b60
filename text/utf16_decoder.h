// UTF-16 to UTF-8 for the Windows console: the drill reads what is typed at
// a console as UTF-16 (ReadConsoleW) and hands it on in UTF-8, so that a
// name is stored in UTF-8 whatever the console's code page. Pure and
// portable, so it is tested on every platform; StandardInput in
// system_windows.cc is its user.
#ifndef TEXT_UTF16_DECODER_H_
#define TEXT_UTF16_DECODER_H_

#include <cstddef>

namespace text {

// The most UTF-8 bytes that one UTF-16 code unit can give: 3 for a
// character of the Basic Multilingual Plane or for U+FFFD, the stand-in for
// a lone surrogate; a surrogate pair gives 4 for its two units.
inline constexpr std::size_t kUtf8BytesPerUnit = 3;

// Converts UTF-16 to UTF-8 one piece at a time, as the console hands it out:
// a surrogate pair split between two pieces is joined. A surrogate without
// its partner becomes U+FFFD. Nothing can fail.
class Utf16Decoder {
 public:
  // Converts the `count` code units at `units` and writes their UTF-8 to
  // `out`, which must have room for kUtf8BytesPerUnit * (count + 1) bytes (a
  // high surrogate kept from the last piece may turn into U+FFFD). Returns
  // how many bytes it wrote. A high surrogate at the end is kept for the
  // next piece.
  std::size_t decode(const char16_t* units, std::size_t count, char* out);

  // At the end of the input: writes U+FFFD for a high surrogate still kept,
  // to `out` (room for kUtf8BytesPerUnit bytes), and returns how many bytes
  // it wrote.
  std::size_t finish(char* out);

 private:
  char16_t high_ = 0;  // a high surrogate waiting for its partner, or 0
};

}  // namespace text

#endif  // TEXT_UTF16_DECODER_H_
