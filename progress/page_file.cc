#include "progress/page_file.h"

#include <optional>

#include "progress/html_page.h"
#include "progress/messages.h"

namespace progress {

std::string page_refusal(const std::string& page, const std::vector<std::string>& inputs,
                         Files& files) {
  const std::optional<files::FoundFile> target = files.find(page);
  for (const std::string& input : inputs) {
    bool same = input == page;
    if (!same && target) {
      const std::optional<files::FoundFile> found = files.find(input);
      same = found && found->identity == target->identity;
    }
    if (same) {
      return "refusing to write the page over " + safe_file_name(input) + ", one of the files read";
    }
  }
  if (target && (!target->regular || !holds_a_page(page, files))) {
    return "refusing to write the page over " + safe_file_name(page) + ", which is not a page";
  }
  if (target && !target->writable) {
    return "refusing to write the page over " + safe_file_name(page) + ", which may not be written";
  }
  return {};
}

bool holds_a_page(const std::string& page, Files& files) {
  std::unique_ptr<Input> input;
  if (!files.open(page, &input).ok()) return false;
  // The first line, and the last with the line end before it, kept while
  // the whole file is read. Lines may end in LF or CR LF.
  const std::string first = std::string(kPageFirstLine);
  std::string last = "\n";
  last += kPageLastLine;
  const std::size_t keep_head = first.size() + 2;
  const std::size_t keep_tail = last.size() + 2;
  std::string head;
  std::string tail;
  char buffer[64 * 1024];
  while (const std::size_t n = input->read(buffer, sizeof buffer)) {
    const std::string_view piece(buffer, n);
    if (head.size() < keep_head) head.append(piece.substr(0, keep_head - head.size()));
    tail.append(piece.substr(n > keep_tail ? n - keep_tail : 0));
    if (tail.size() > keep_tail) tail.erase(0, tail.size() - keep_tail);
  }
  if (!input->read_status().ok()) return false;
  const bool starts = head.starts_with(first + "\n") || head.starts_with(first + "\r\n");
  const bool ends = tail.ends_with(last + "\n") || tail.ends_with(last + "\r\n");
  return starts && ends;
}

}  // namespace progress
