// Byte sources and sinks: the two small interfaces through which the console
// streams reach the outside world. The program plugs in file-descriptor
// versions (FdSource and FdSink in system.h); tests, fuzz targets and
// benchmarks plug in in-memory versions (tests/support/fakes.h), so a whole
// session runs on given bytes.
#ifndef CONSOLE_BYTE_STREAM_H_
#define CONSOLE_BYTE_STREAM_H_

#include <cstddef>

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

}  // namespace console

#endif  // CONSOLE_BYTE_STREAM_H_
