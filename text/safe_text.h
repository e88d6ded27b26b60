// Text from a user or a file made safe to show: which characters no output
// shows as they are (controls and bidirectional overrides, which could move
// a terminal's cursor, change its title or disguise a name), and a text with
// them replaced. mathdrill-progress shows every name and file name through
// it; the drill uses the same rule for what a child types.
#ifndef TEXT_SAFE_TEXT_H_
#define TEXT_SAFE_TEXT_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace text {

// Whether `code_point` is one that no output shows as it is: a control
// character (U+0000-U+001F, U+007F-U+009F), which could move a terminal's
// cursor or change its state, or a bidirectional override or isolate
// (U+202A-U+202E, U+2066-U+2069), which reorders the text around it.
bool hidden_character(char32_t code_point);

// Replaces, in place, each hidden_character among the `length` bytes at
// `text` with '?', which can only shorten the text, and returns its new
// length. Bytes that are not well-formed UTF-8 stay as they are: the drill
// stores what was typed, and mathdrill-progress shows such bytes safely
// itself. Nothing can fail.
std::size_t hide_in_place(char* text, std::size_t length);

// `text` as a message on a terminal quotes it, when it may be a file's name
// or an argument: each hidden_character, and each byte that is no part of a
// well-formed UTF-8 character, becomes '?'.
inline std::string message_text(std::string_view text);

// message_text() of the `length` bytes at `text`, in place, which can only
// shorten them; returns the new length. For the drill, which allocates
// nothing. Nothing can fail.
std::size_t message_text_in_place(char* text, std::size_t length);

// The character at byte `at` of `text` (before its end) as terminal_text()
// shows it, in `*shown`: its own bytes, "?" or U+FFFD. Returns how many
// bytes of `text` it takes, at least one. Nothing can fail.
std::size_t shown_character(std::string_view text, std::size_t at, std::string_view* shown);

// `text` made safe to show on a terminal or in a spreadsheet, so that a
// name from a file cannot move the cursor, change colours or the title,
// or disguise itself: each hidden_character, and each byte 0x80-0x9F that
// is no part of a character (an 8-bit terminal reads it as a control),
// becomes '?'; other bytes that are not well-formed UTF-8 become U+FFFD,
// the replacement character. Anything else stays as it is.
inline std::string terminal_text(std::string_view text);

// Appends terminal_text(text) to `out`.
inline void append_terminal_text(std::string_view text, std::string* out);

// The functions that return or append to a std::string are defined here,
// in terms of the ones above: the drill, which links this module's object
// and allocates nothing, then brings no allocation with it.

inline std::string message_text(std::string_view text) {
  std::string shown(text);
  shown.resize(message_text_in_place(shown.data(), shown.size()));
  return shown;
}

inline std::string terminal_text(std::string_view text) {
  std::string shown;
  append_terminal_text(text, &shown);
  return shown;
}

inline void append_terminal_text(std::string_view text, std::string* out) {
  // Most names are printable ASCII, which is appended as a whole.
  bool plain = true;
  for (const char c : text) plain = plain && c >= 0x20 && c < 0x7F;
  if (plain) {
    out->append(text);
    return;
  }
  for (std::size_t at = 0; at < text.size();) {
    std::string_view shown;
    at += shown_character(text, at, &shown);
    out->append(shown);
  }
}

}  // namespace text

#endif  // TEXT_SAFE_TEXT_H_
