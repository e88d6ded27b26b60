#include "progress/input_window.h"

#include <algorithm>
#include <cstring>

namespace progress {

InputWindow::InputWindow(console::ByteSource& source, std::size_t max_window,
                         std::size_t chunk_size)
    : source_(source),
      chunk_size_(std::max<std::size_t>(chunk_size, 1)),
      margin_(std::max<std::size_t>(max_window, 1)),
      begin_(margin_),
      end_(margin_) {
  for (Buffer& buffer : buffers_) buffer.bytes.resize(margin_ + chunk_size_);
  // The window starts empty, in buffer 1; the first piece goes to buffer 0.
  reader_ = std::thread([this] { read_ahead(); });
}

InputWindow::~InputWindow() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  reader_.join();
}

std::string_view InputWindow::peek(std::size_t size) {
  size = std::min(size, margin_);
  while (end_ - begin_ < size && !at_end_) at_end_ = !next_piece();
  return std::string_view(buffers_[current_].bytes.data() + begin_, end_ - begin_);
}

void InputWindow::skip_line() {
  for (;;) {
    const char* bytes = buffers_[current_].bytes.data();
    const void* found = std::memchr(bytes + begin_, '\n', end_ - begin_);
    if (found != nullptr) {
      begin_ = static_cast<std::size_t>(static_cast<const char*>(found) - bytes) + 1;
      return;
    }
    // The rest of the line is not kept.
    begin_ = end_;
    if (at_end_ || !next_piece()) {
      at_end_ = true;
      return;
    }
  }
}

// Moves on to the other buffer once the thread has filled it, carrying the
// bytes not used yet (fewer than the window) to just before its piece, and
// hands the buffer read through back to the thread. Returns false when the
// stream ended with the current piece.
bool InputWindow::next_piece() {
  if (holding_ && buffers_[current_].last) return false;
  const int next = 1 - current_;
  {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return buffers_[next].filled; });
  }
  const std::size_t kept = end_ - begin_;
  Buffer& to = buffers_[next];
  std::memcpy(to.bytes.data() + margin_ - kept, buffers_[current_].bytes.data() + begin_, kept);
  if (holding_) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      buffers_[current_].filled = false;
    }
    changed_.notify_all();
  }
  holding_ = true;
  current_ = next;
  begin_ = margin_ - kept;
  end_ = margin_ + to.size;
  return to.size > 0 || !to.last;
}

// The thread: fills the buffers in turn, each as soon as it is handed back,
// until the stream ends or the window is going away.
void InputWindow::read_ahead() {
  for (int index = 0;; index = 1 - index) {
    Buffer& buffer = buffers_[index];
    {
      std::unique_lock<std::mutex> lock(mutex_);
      changed_.wait(lock, [&] { return !buffer.filled || stopping_; });
      if (stopping_) return;
    }
    std::size_t size = 0;
    bool last = false;
    while (size < chunk_size_ && !last) {
      const std::size_t n = source_.read(buffer.bytes.data() + margin_ + size, chunk_size_ - size);
      size += n;
      last = n == 0;
    }
    {
      std::lock_guard<std::mutex> lock(mutex_);
      buffer.size = size;
      buffer.last = last;
      buffer.filled = true;
    }
    changed_.notify_all();
    if (last) return;
  }
}

}  // namespace progress
