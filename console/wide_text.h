// UTF-8 and UTF-16 turned into each other: Windows names files and passes
// command-line arguments in UTF-16, while mathdrill-progress keeps every
// text in UTF-8. Windows only; input_file_windows.cc, output_file_windows.cc
// and arguments_windows.cc use it.
#ifndef CONSOLE_WIDE_TEXT_H_
#define CONSOLE_WIDE_TEXT_H_

#include <string>
#include <string_view>

namespace console {

// `text` in UTF-16. Bytes that are not UTF-8 become U+FFFD, so such a name
// names no file rather than another one.
std::wstring wide_from_utf8(std::string_view text);

// `text` in UTF-8. A lone surrogate becomes U+FFFD.
std::string utf8_from_wide(std::wstring_view text);

}  // namespace console

#endif  // CONSOLE_WIDE_TEXT_H_
