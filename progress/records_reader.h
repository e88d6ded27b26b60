// Reads a results log as a stream and hands out its whole blocks one at a
// time. Everything that is not part of a whole block (a cut block, foreign
// text, binary bytes, an overlong line, a block whose fields contradict each
// other) is skipped, and reading picks up again at the next separator line.
// Line ends may be CR LF or LF alone, line by line. The reader counts what
// it skipped by line numbers, for the message about each file. Memory is
// the input window's two buffers (input_window.h) and one block, whatever
// the size of the log. Used by run_progress and the fuzz target.
#ifndef PROGRESS_RECORDS_READER_H_
#define PROGRESS_RECORDS_READER_H_

#include <array>
#include <cstddef>
#include <cstdint>

#include "console/byte_stream.h"
#include "progress/block_format.h"
#include "progress/input_window.h"

namespace progress {

// Lines first..last (counted from 1), skipped together.
struct LineRange {
  std::uint64_t first = 0;
  std::uint64_t last = 0;

  bool operator==(const LineRange&) const = default;
};

// What reading a log found. Complete once next() has returned null.
struct ReadCounts {
  static constexpr std::size_t kRangesKept = 5;

  std::uint64_t tests = 0;          // whole blocks handed out
  std::uint64_t lines = 0;          // lines read, a last one without LF too
  std::uint64_t skipped_lines = 0;  // lines in no whole block
  // Stretches of consecutive skipped lines, and the first few of them.
  std::uint64_t skipped_ranges = 0;
  std::array<LineRange, kRangesKept> first_ranges{};
};

class RecordsReader {
 public:
  explicit RecordsReader(console::ByteSource& source, std::size_t chunk_size = kDefaultChunkSize);

  // The next whole block, or null at the end of the stream (a read error
  // ends it too; the source tells which). The test stays valid until the
  // next call.
  const LoggedTest* next();

  const ReadCounts& counts() const { return counts_; }

 private:
  void skip(std::uint64_t first, std::uint64_t last);
  void close_range();

  InputWindow input_;
  LoggedTest test_;
  int index_ = 0;  // the line of a block expected next; 0 outside one
  std::uint64_t block_first_line_ = 0;
  LineRange open_range_;  // the skipped stretch not counted yet; empty if last == 0
  ReadCounts counts_;
};

}  // namespace progress

#endif  // PROGRESS_RECORDS_READER_H_
