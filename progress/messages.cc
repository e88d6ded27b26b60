#include "progress/messages.h"

#include <cstdlib>
#include <new>

#include "console/system.h"
#include "progress/output_text.h"
#include "text/safe_text.h"

namespace progress {

namespace {

void append_ranges(const records::ReadCounts& counts, std::string* text);

}  // namespace

void Messages::about_file(std::string_view file, std::string_view text) {
  say(safe_file_name(file) + ": " + std::string(text));
}

void Messages::say(std::string_view text) {
  std::string line(kProgram);
  line.append(": ");
  line.append(text);
  line.push_back('\n');
  errors_.write(line.data(), line.size());
}

void Messages::about_skipped(std::string_view file, const records::ReadCounts& counts,
                             std::uint64_t duplicates, std::string_view noun) {
  if (counts.skipped_ranges == 0 && duplicates == 0) return;
  std::string text;
  append_integer(static_cast<std::int64_t>(counts.tests), &text);
  text.push_back(' ');
  text.append(noun);
  text.append(counts.tests == 1 ? " read" : "s read");
  if (duplicates > 0) {
    text.append(", ");
    append_integer(static_cast<std::int64_t>(duplicates), &text);
    text.append(duplicates == 1 ? " duplicate" : " duplicates");
  }
  if (counts.skipped_ranges > 0) append_ranges(counts, &text);
  about_file(file, text);
}

int Messages::usage_error(std::string_view error) {
  std::string text(kProgram);
  text.append(": ");
  // The error quotes what was typed, which may be a file's name from a
  // shared folder (mathdrill-progress *.txt).
  text.append(text::message_text(error));
  text.append("\nTry '");
  text.append(kProgram);
  text.append(" --help' for more information.\n");
  errors_.write(text.data(), text.size());
  return 2;
}

void end_when_out_of_memory() {
  std::set_new_handler([] {
    // Nothing may be allocated here.
    static constexpr std::string_view kMessage = ": out of memory\n";
    console::FdSink errors(2);
    errors.write(kProgram.data(), kProgram.size());
    errors.write(kMessage.data(), kMessage.size());
    std::_Exit(1);
  });
}

std::string safe_file_name(std::string_view name) {
  return name == "-" ? "standard input" : text::message_text(name);
}

namespace {

// ", 2 skipped (lines 19-25, 40)": the count of skipped stretches and the
// first few of them, with ", ..." when there are more.
void append_ranges(const records::ReadCounts& counts, std::string* text) {
  text->append(", ");
  append_integer(static_cast<std::int64_t>(counts.skipped_ranges), text);
  const records::LineRange& only = counts.first_ranges[0];
  text->append(counts.skipped_ranges == 1 && only.first == only.last ? " skipped (line "
                                                                     : " skipped (lines ");
  const std::size_t shown = counts.skipped_ranges < records::ReadCounts::kRangesKept
                                ? static_cast<std::size_t>(counts.skipped_ranges)
                                : records::ReadCounts::kRangesKept;
  for (std::size_t i = 0; i < shown; ++i) {
    const records::LineRange& range = counts.first_ranges[i];
    if (i > 0) text->append(", ");
    append_integer(static_cast<std::int64_t>(range.first), text);
    if (range.last != range.first) {
      text->push_back('-');
      append_integer(static_cast<std::int64_t>(range.last), text);
    }
  }
  if (counts.skipped_ranges > shown) text->append(", ...");
  text->push_back(')');
}

}  // namespace

}  // namespace progress
