// Byte sources and sinks: the two small interfaces through which the console
// streams reach the outside world. The program plugs in file-descriptor
// versions (FdSource and FdSink in system.h); tests, fuzz targets and benchmarks plug in the
// in-memory versions below, so a whole session runs on given bytes.
#ifndef CONSOLE_BYTE_STREAM_H_
#define CONSOLE_BYTE_STREAM_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace console {

// Where input bytes come from.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Reads up to `size` bytes into `buffer` and returns how many were read.
  // Returns 0 at end of input and on a read error: callers treat both as the
  // end of input.
  virtual std::size_t read(char* buffer, std::size_t size) = 0;
};

// Where output bytes go.
class ByteSink {
 public:
  virtual ~ByteSink() = default;
  // Writes all `size` bytes. Returns false when they could not all be
  // written (a closed pipe, a full disk); the caller then drops its output.
  virtual bool write(const char* data, std::size_t size) = 0;
};

// A source that hands out a fixed string, then end of input. `chunk` bounds
// how many bytes one read returns, to imitate a terminal that delivers one
// line or one byte at a time.
class StringSource : public ByteSource {
 public:
  explicit StringSource(std::string_view bytes, std::size_t chunk = 4096)
      : bytes_(bytes), chunk_(chunk == 0 ? 1 : chunk) {}

  std::size_t read(char* buffer, std::size_t size) override {
    std::size_t n = bytes_.size() - position_;
    if (n > size) n = size;
    if (n > chunk_) n = chunk_;
    bytes_.copy(buffer, n, position_);
    position_ += n;
    ++reads_;
    return n;
  }

  // How many bytes have been handed out so far.
  std::size_t consumed() const { return position_; }
  // How many times read() was called.
  std::size_t reads() const { return reads_; }

 private:
  std::string bytes_;
  std::size_t chunk_;
  std::size_t position_ = 0;
  std::size_t reads_ = 0;
};

// A sink that keeps everything written to it, and the size of each write so
// tests can see where output was flushed. After `fail_after` bytes it
// refuses every write, like a pipe whose reader has gone.
class StringSink : public ByteSink {
 public:
  explicit StringSink(std::size_t fail_after = static_cast<std::size_t>(-1))
      : fail_after_(fail_after) {}

  bool write(const char* data, std::size_t size) override {
    if (bytes_.size() + size > fail_after_) return false;
    bytes_.append(data, size);
    writes_.push_back(size);
    return true;
  }

  const std::string& bytes() const { return bytes_; }
  const std::vector<std::size_t>& writes() const { return writes_; }

 private:
  std::size_t fail_after_;
  std::string bytes_;
  std::vector<std::size_t> writes_;
};

}  // namespace console

#endif  // CONSOLE_BYTE_STREAM_H_
