#include "progress/records_reader.h"

namespace progress {

namespace {

// A line with its CR LF is at most this long; the window shows at least
// that much, so a line parser always sees a whole line.
constexpr std::size_t kLineWindow = kMaxLineLength + 2;

}  // namespace

RecordsReader::RecordsReader(console::ByteSource& source, std::size_t chunk_size)
    : input_(source, kMaxBlockLength, chunk_size) {}

const LoggedTest* RecordsReader::next() {
  for (;;) {
    // Outside a block the window shows a whole block if there is one; the
    // bytes are not read again until it has moved on, so they stay valid.
    const std::string_view bytes = input_.peek(index_ == 0 ? kMaxBlockLength : kLineWindow);
    if (bytes.empty()) break;
    const std::uint64_t number = ++counts_.lines;
    std::size_t length = 0;
    // Most blocks are whole and come one after another: each is read in
    // one go. What is not is gone through line by line below.
    if (index_ == 0 && bytes[0] == '-' && (length = read_block(bytes, &test_)) != 0) {
      input_.advance(length);
      counts_.lines += kBlockLines - 1;
      test_.first_line = number;
      ++counts_.tests;
      return &test_;
    }
    // A separator line starts a block wherever it appears; one that comes
    // in the middle of a block cuts that block off.
    if (bytes[0] == '-' && (length = read_block_line(0, bytes, &test_)) != 0) {
      if (index_ > 0) skip(block_first_line_, number - 1);
      block_first_line_ = number;
      index_ = 1;
      input_.advance(length);
      continue;
    }
    if (index_ > 0 && (length = read_block_line(index_, bytes, &test_)) != 0) {
      input_.advance(length);
      if (++index_ == kBlockLines) {
        index_ = 0;
        test_.first_line = block_first_line_;
        ++counts_.tests;
        return &test_;
      }
      continue;
    }
    skip(index_ > 0 ? block_first_line_ : number, number);
    index_ = 0;
    input_.skip_line();
  }
  if (index_ > 0) skip(block_first_line_, counts_.lines);
  index_ = 0;
  close_range();
  return nullptr;
}

// Counts lines first..last as skipped, joining them to the stretch before
// when they follow it directly.
void RecordsReader::skip(std::uint64_t first, std::uint64_t last) {
  counts_.skipped_lines += last - first + 1;
  if (open_range_.last != 0 && open_range_.last + 1 == first) {
    open_range_.last = last;
    return;
  }
  close_range();
  open_range_ = {first, last};
}

void RecordsReader::close_range() {
  if (open_range_.last == 0) return;
  if (counts_.skipped_ranges < ReadCounts::kRangesKept) {
    counts_.first_ranges[counts_.skipped_ranges] = open_range_;
  }
  ++counts_.skipped_ranges;
  open_range_ = {};
}

}  // namespace progress
