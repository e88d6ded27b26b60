// The platform-free part of FileAppender (append_file.h): the seam's rule.
#include "files/append_file.h"

#include "text/utf8.h"

namespace files {

bool needs_header_first(std::string_view tail, bool whole_file) {
  return whole_file && (tail.empty() || tail == text::kByteOrderMark);
}

bool needs_line_end_first(std::string_view tail, bool whole_file) {
  if (tail.empty() || tail.back() == '\n') return false;
  return !(whole_file && tail == text::kByteOrderMark);
}

}  // namespace files
