#include "drill/name.h"

#include "records/format.h"
#include "text/safe_text.h"

namespace drill {

namespace {

std::size_t cut_to_character(const char* text, std::size_t length);

}  // namespace

std::size_t make_printable(char* text, std::size_t length) {
  if (length > records::kMaxNameLength) length = cut_to_character(text, records::kMaxNameLength);
  return text::hide_in_place(text, length);
}

namespace {

// The length of `text` cut to at most `length` bytes so that the last UTF-8
// sequence is not split: looks back over up to three continuation bytes for
// the lead byte of the last sequence and drops it, with them, when the
// sequence needs more bytes than are left.
std::size_t cut_to_character(const char* text, std::size_t length) {
  std::size_t lead = length;
  for (std::size_t back = 1; back <= 3 && back <= length; ++back) {
    const unsigned char byte = static_cast<unsigned char>(text[length - back]);
    if (byte < 0x80 || byte > 0xBF) {
      lead = length - back;
      break;
    }
  }
  if (lead == length) return length;
  const unsigned char byte = static_cast<unsigned char>(text[lead]);
  std::size_t needed = 0;
  if (byte >= 0xC2 && byte <= 0xDF) needed = 2;
  if (byte >= 0xE0 && byte <= 0xEF) needed = 3;
  if (byte >= 0xF0 && byte <= 0xF4) needed = 4;
  return lead + needed > length ? lead : length;
}

}  // namespace

}  // namespace drill
