// Reading the files a command line names, for run_progress: each file is
// read once (a name given twice, or two names of one file, are read once,
// with a message), in pieces that grow from 4 KiB to 1 MiB while reads
// fill them, so that a small file needs little and a large one is read in
// large pieces. A file whose first line (after a byte-order mark) is the
// answers header is read as answers, any other as a records log. Each test
// and each answer is handed to a Taker as it is read; one already read, in
// this file or another, is counted as a duplicate and not handed over when
// more than one file is named. The messages about a file (it cannot be
// opened or read, lines skipped, duplicates) are said here.
#ifndef PROGRESS_FILE_READING_H_
#define PROGRESS_FILE_READING_H_

#include <cstddef>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "progress/log_files.h"
#include "progress/messages.h"
#include "progress/seen_tests.h"
#include "records/answers_reader.h"
#include "records/block_reader.h"
#include "records/fingerprint.h"

namespace progress {

// What takes the tests and answers read. Each is valid during the call.
class Taker {
 public:
  virtual ~Taker() = default;
  virtual void take_test(const records::LoggedTest& test) = 0;
  virtual void take_answer(const records::Answer& answer) = 0;
};

class FileReading {
 public:
  // Reads with `files`, saying its messages through `messages`. Tests read
  // twice count once when `several_files`.
  FileReading(Files& files, Messages& messages, bool several_files);

  // Reads the file `name` through into `taker`, unless it was read already
  // under this name or another. Returns false when it could not be opened
  // or read to its end (its message said).
  bool read(const std::string& name, Taker& taker);

 private:
  std::string_view next_piece(Input& input);
  std::string read_head(Input& input);
  void read_blocks(std::string_view name, std::string_view head, Input& input, Taker& taker);
  void read_answers(std::string_view name, std::string_view head, Input& input, Taker& taker);

  Files& files_;
  Messages& messages_;
  // The files read so far: by name, and by identity with the name they were
  // first read by.
  std::set<std::string> names_read_;
  std::map<files::FileIdentity, std::string> files_read_;
  std::optional<SeenTests> seen_;          // when more than one file is named
  std::optional<SeenTests> seen_answers_;  // likewise, for the tests of answers files
  // The key of the tests' fingerprints, drawn for this run.
  records::FingerprintKey fingerprint_key_;
  std::unique_ptr<char[]> buffer_;  // not cleared: reads fill what is used
  std::size_t buffer_size_;
  std::size_t last_read_ = 0;  // bytes the last read put in the buffer
};

}  // namespace progress

#endif  // PROGRESS_FILE_READING_H_
