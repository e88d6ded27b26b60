// A text built piece by piece in a fixed buffer, without the heap: the
// records.txt block writer builds a block in one, and the timestamp text,
// and the driver each message line it writes to standard error, so that a
// block or a message goes out in one write.
#ifndef TEXT_TEXT_BUFFER_H_
#define TEXT_TEXT_BUFFER_H_

#include <cstddef>
#include <cstring>
#include <string_view>

namespace text {

template <std::size_t Size>
class TextBuffer {
 public:
  // Appends `text`. What does not fit is dropped, never written past the
  // buffer.
  TextBuffer& operator<<(std::string_view text) {
    const std::size_t room = Size - size_;
    const std::size_t n = text.size() < room ? text.size() : room;
    std::memcpy(bytes_ + size_, text.data(), n);
    size_ += n;
    return *this;
  }

  // Appends the byte `c`, unless the buffer is full.
  TextBuffer& operator<<(char c) {
    if (size_ < Size) bytes_[size_++] = c;
    return *this;
  }

  std::string_view view() const { return {bytes_, size_}; }

 private:
  char bytes_[Size];
  std::size_t size_ = 0;
};

}  // namespace text

#endif  // TEXT_TEXT_BUFFER_H_
