#include "progress/page_file.h"

#include <optional>

#include "progress/messages.h"
#include "text/utf8.h"

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
  return {};
}

bool holds_a_page(const std::string& page, Files& files) {
  std::unique_ptr<Input> input;
  if (!files.open(page, &input).ok()) return false;
  char head[64];
  std::size_t size = 0;
  while (size < sizeof head) {
    const std::size_t n = input->read(head + size, sizeof head - size);
    if (n == 0) break;
    size += n;
  }
  if (!input->read_status().ok()) return false;
  std::string_view start(head, size);
  if (start.starts_with(text::kByteOrderMark)) start.remove_prefix(text::kByteOrderMark.size());
  while (!start.empty() &&
         (start.front() == ' ' || (start.front() >= '\t' && start.front() <= '\r'))) {
    start.remove_prefix(1);
  }
  if (start.empty()) return size == 0;
  std::string lower(start.substr(0, 14));
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower.starts_with("<!doctype html") || lower.starts_with("<html");
}

}  // namespace progress
