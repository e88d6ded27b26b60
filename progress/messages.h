// The messages of mathdrill-progress on standard error: each line starts
// with the program's name, and names a file the way a terminal may show
// it. The run reports through Messages: a file that could not be read,
// what a file had skipped, a file named twice, a page refused, and a usage
// error. Nothing here fails: a message that the error stream refuses is
// lost, as there is nowhere else to report it.
#ifndef PROGRESS_MESSAGES_H_
#define PROGRESS_MESSAGES_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "console/byte_stream.h"
#include "records/block_reader.h"

namespace progress {

// The head of every message, and the name --version shows.
inline constexpr std::string_view kProgram = "mathdrill-progress";

class Messages {
 public:
  explicit Messages(console::ByteSink& errors) : errors_(errors) {}

  // "mathdrill-progress: NAME: TEXT", with `file` shown as safe_file_name
  // shows it ("-" is "standard input").
  void about_file(std::string_view file, std::string_view text);

  // "mathdrill-progress: TEXT".
  void say(std::string_view text);

  // When `file` had text skipped or duplicates: "records.txt: 12 tests
  // read, 2 skipped (lines 19-25, 40)", with ", 3 duplicates" after the
  // tests read when some had been read before. `noun` names what was read:
  // "test", or "answer" for an answers file, whose duplicates are tests.
  // Nothing when neither.
  void about_skipped(std::string_view file, const records::ReadCounts& counts,
                     std::uint64_t duplicates, std::string_view noun = "test");

  // The usage error `error`, shown as text::message_text shows it (it
  // quotes what was typed), then where to find help. Returns 2, the exit
  // status of a usage error.
  int usage_error(std::string_view error);

 private:
  console::ByteSink& errors_;
};

// From now on, memory that cannot be had ends the program with
// "mathdrill-progress: out of memory" on standard error and exit status 1,
// rather than an abort: the program is built without exceptions, so
// std::bad_alloc could not be caught. What was written stays written; the
// page, written whole or not at all, stays as it was. main() calls it once.
void end_when_out_of_memory();

// A file's name as messages show it: "standard input" for "-", and
// otherwise as text::message_text shows it.
std::string safe_file_name(std::string_view name);

}  // namespace progress

#endif  // PROGRESS_MESSAGES_H_
