// Reading records.txt back: the blocks of a log (format.h), handed out one
// test at a time. The file comes in pieces of any size; the reader splits
// them into lines and reads each line of a block by its fixed texts and
// fields. Anything that is not part of a whole, sound block (a cut block,
// foreign text, binary bytes, a line longer than any block line, a block
// whose percent or grade contradicts its answers, an elapsed time beyond
// what the drill's clock can give) is skipped, and reading
// picks up again at the next separator line, wherever it stands. Lines may
// end in CR LF or LF alone, and a UTF-8 byte-order mark at the start of the
// file (a log saved by a Windows editor), or before a separator line (two
// such logs joined), is passed over. The reader counts
// what it skipped by line numbers, for the message about each file. Asked
// to, it gives each test the fingerprint of its block's lines, so that a
// test read twice from several files can be told. Memory is one test and at
// most one line of the file, whatever the log holds.
// mathdrill-progress and its fuzz target use it.
#ifndef RECORDS_BLOCK_READER_H_
#define RECORDS_BLOCK_READER_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "records/fingerprint.h"
#include "records/operations.h"
#include "records/timestamp.h"
#include "text/civil_time.h"

namespace records {

// Lines longer than this, without their line end, are never part of a
// block.
inline constexpr std::size_t kMaxLineLength = 4096;
// The largest elapsed time a block may hold, in size: 2^63 seconds, beyond
// any difference of the drill's clock readings.
inline constexpr double kMaxElapsedSeconds = 9223372036854775808.0;
// The longest elapsed time a block may hold: "%g" of a negative one below
// kMaxElapsedSeconds in size, "-1.23457e+18".
inline constexpr std::size_t kMaxElapsedLength = 12;

// One test as its block logs it. Its texts are views into the piece read
// or into the reader's own room, not copies: they stay valid as long as the
// test does (until the next call to BlockReader::next()).
struct LoggedTest {
  std::string_view site;  // the web-site name in the separator line
  std::string_view name;  // the bytes logged: no whitespace, no NUL
  text::CivilTime end;
  text::CivilTime start;
  // The two timestamps as logged, when the reader took the block whole:
  // then they are the drill's own texts of `end` and `start`, 24 bytes of a
  // four-digit year (or the placeholder), which a row may copy digits from.
  // Empty when the block was read line by line.
  std::string_view end_text;
  std::string_view start_text;
  std::string_view elapsed;  // as logged: "95", "1e+06"
  double elapsed_seconds = 0;
  Operations operations = Operations::mixed_addition_subtraction();
  std::int32_t addend_limit = 0;  // the largest number
  std::int32_t right = 0;         // 0..kProblemCount
  std::int32_t percent = 0;       // right * 100 / kProblemCount
  std::int32_t rating = 0;
  std::uint64_t first_line = 0;  // of the separator line, counted from 1
  // A keyed hash of the block's fields, the same for blocks identical in
  // every line (up to their line ends); zero unless the reader makes them.
  Fingerprint fingerprint;
};

// Lines first..last (counted from 1), skipped together.
struct LineRange {
  std::uint64_t first = 0;
  std::uint64_t last = 0;

  bool operator==(const LineRange&) const = default;
};

// What reading a file found. Complete once finish() has been called.
struct ReadCounts {
  static constexpr std::size_t kRangesKept = 5;

  std::uint64_t tests = 0;          // whole blocks handed out
  std::uint64_t lines = 0;          // lines read, a last one without LF too
  std::uint64_t skipped_lines = 0;  // lines in no whole block
  // Stretches of consecutive skipped lines, and the first few of them.
  std::uint64_t skipped_ranges = 0;
  std::array<LineRange, kRangesKept> first_ranges{};
};

// Counts lines first..last as skipped in `counts`, joining them to the
// stretch `open` when they follow it directly; `open` is the stretch not
// counted yet (empty when its last is 0). The answers reader shares it.
void count_skipped(std::uint64_t first, std::uint64_t last, LineRange* open, ReadCounts* counts);

// Counts the stretch `open`, if any, in `counts` and empties it.
void close_skipped(LineRange* open, ReadCounts* counts);

// Reads the blocks of one file. Give it the file piece by piece with add(),
// taking the tests with next() after each piece, and call finish() at the
// end of the file.
class BlockReader {
 public:
  // Gives each test read from now on its fingerprint under `key`, which
  // costs a pass over the block's fields.
  void make_fingerprints(FingerprintKey key) {
    fingerprints_ = true;
    fingerprint_key_ = key;
  }

  // Reads every block line by line, without the whole-block fast path:
  // for checking that both read the same.
  void exact_lines_only() { exact_lines_only_ = true; }

  // Takes the next piece of the file. The bytes must stay valid until
  // next() has returned null.
  void add(std::string_view bytes);

  // The next test whose block ends in the pieces given so far, or null when
  // they are used up. The test stays valid until the next call.
  const LoggedTest* next();

  // Ends the file: a last line without a line end, and a block still open,
  // are skipped. Returns the counts, now complete.
  const ReadCounts& finish();

 private:
  std::size_t take_block(std::string_view bytes);
  template <bool kCrLf, bool kChecked>
  std::size_t take_block_ending(std::string_view bytes);
  std::optional<Operations> read_operations(std::string_view description);
  bool take_line(std::string_view line);
  void keep_texts(int index);
  void keep_partial(std::string_view part);
  void skip(std::uint64_t first, std::uint64_t last);
  void close_range();

  std::string_view rest_;  // the bytes of the piece not read yet
  std::string partial_;    // the start of a line that goes on in a later piece
  LoggedTest test_;
  // The texts of a block read line by line, kept from their lines, which go
  // away with their pieces.
  std::string site_;
  std::string name_;
  std::string elapsed_;
  TimestampReader times_;
  int index_ = 0;  // the line of a block expected next; 0 outside one
  bool fingerprints_ = false;
  bool exact_lines_only_ = false;
  // The description of the last block read whole, and its operations.
  char last_description_[80] = {};
  std::size_t last_description_size_ = 0;
  std::optional<Operations> last_operations_;
  FingerprintKey fingerprint_key_;
  std::uint64_t block_first_line_ = 0;
  LineRange open_range_;  // the skipped stretch not counted yet; empty if last == 0
  ReadCounts counts_;
};

}  // namespace records

#endif  // RECORDS_BLOCK_READER_H_
