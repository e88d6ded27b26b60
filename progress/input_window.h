// A byte stream seen through a window on its next bytes, for the records
// reader. The stream is read in large pieces (1 MiB by default) by a thread
// of its own, into one of two buffers while the reader parses the other, so
// the copying from the file system runs beside the parsing. The reader
// parses lines straight from the window and moves on by what it parsed, and
// passes over lines it cannot use with memchr, however long they are,
// without keeping them. So reading costs no allocation and no copy beyond
// the two buffers, and memory stays the same whatever the input holds.
#ifndef PROGRESS_INPUT_WINDOW_H_
#define PROGRESS_INPUT_WINDOW_H_

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string_view>
#include <thread>
#include <vector>

#include "console/byte_stream.h"

namespace progress {

inline constexpr std::size_t kDefaultChunkSize = 1 << 20;

class InputWindow {
 public:
  // Reads `source` in pieces of `chunk_size` bytes (at least 1), each from
  // as many reads as it takes, on a thread of its own from now on. The
  // window shows up to `max_window` bytes (at least 1).
  InputWindow(console::ByteSource& source, std::size_t max_window,
              std::size_t chunk_size = kDefaultChunkSize);
  // Waits for the thread's read under way, if any, and stops it.
  ~InputWindow();

  InputWindow(const InputWindow&) = delete;
  InputWindow& operator=(const InputWindow&) = delete;

  // The bytes from the current place on: at least `size` of them (at most
  // max_window), or all that are left. Empty at the end of the stream, which
  // a read that returns nothing marks (a read error too: the source tells
  // which, once the stream has ended). Valid until the next call.
  std::string_view peek(std::size_t size);

  // Moves the current place on by `size` bytes, at most as many as peek()
  // returned last.
  void advance(std::size_t size) { begin_ += size; }

  // Moves the current place past the next LF, or to the end of the stream
  // when no LF is left.
  void skip_line();

 private:
  // One of the two buffers: room for the window's bytes carried over from
  // the other one, then a piece of the stream.
  struct Buffer {
    std::vector<char> bytes;
    std::size_t size = 0;  // bytes of the piece
    bool filled = false;   // holds a piece not handed to the reader yet
    bool last = false;     // the stream ended in this piece
  };

  bool next_piece();
  void read_ahead();

  console::ByteSource& source_;
  const std::size_t chunk_size_;
  const std::size_t margin_;
  Buffer buffers_[2];
  int current_ = 1;
  bool holding_ = false;  // the current buffer holds a piece from the thread
  std::size_t begin_;     // the current place in the current buffer
  std::size_t end_;       // the end of its bytes
  bool at_end_ = false;

  // The thread hands filled buffers over, and gets them back, under mutex_.
  std::mutex mutex_;
  std::condition_variable changed_;
  bool stopping_ = false;
  std::thread reader_;
};

}  // namespace progress

#endif  // PROGRESS_INPUT_WINDOW_H_
