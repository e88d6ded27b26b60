// Names and other typed words as the drill shows and stores them: cut to
// the longest name the log keeps (records::kMaxNameLength, 255 bytes)
// without splitting a UTF-8 character, and with every character that no
// output shows as it is (text::hidden_character: controls and bidirectional
// overrides) replaced, so that nothing typed can garble the terminal or
// records.txt.
// The driver uses it for the child's name and for the words quoted in its
// messages.
#ifndef DRILL_NAME_H_
#define DRILL_NAME_H_

#include <cstddef>
#include <string_view>

#include "records/format.h"

namespace drill {

// A word buffer one byte larger than a kept name, and one for the
// terminator, so that a word that had to be cut can be told from one of
// exactly the longest name.
inline constexpr std::size_t kWordBuffer = records::kMaxNameLength + 2;

// Makes the `length` bytes at `text`, a word as read into a kWordBuffer-byte
// buffer, printable in place and returns its new length. A word of more than
// 255 bytes is cut to 255, and further back to the start of a UTF-8
// character that the cut splits: a lead byte 0xC2-0xF4 among the last three
// kept bytes whose sequence runs past the 255th byte is dropped with the
// continuation bytes after it. A word of 255 bytes or fewer keeps its length.
// Every hidden character becomes one '?' (a control byte, U+0080-U+009F,
// the bidirectional overrides and isolates); bytes that are not UTF-8 stay.
// Nothing can fail.
std::size_t make_printable(char* text, std::size_t length);

}  // namespace drill

#endif  // DRILL_NAME_H_
