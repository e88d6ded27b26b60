// Output text collected in memory and handed to a byte sink in large
// writes, so that streaming a test a line (--csv) costs one write per 64 KiB,
// not per line. A failed write is remembered: later text is dropped and the
// caller reports the failure once, at the end. Used by run_progress for
// standard output.
#ifndef PROGRESS_OUTPUT_BUFFER_H_
#define PROGRESS_OUTPUT_BUFFER_H_

#include <cstddef>
#include <string>
#include <string_view>

#include "console/byte_stream.h"

namespace progress {

class OutputBuffer {
 public:
  static constexpr std::size_t kWriteSize = 64 * 1024;

  explicit OutputBuffer(console::ByteSink& sink) : sink_(sink) { text_.reserve(2 * kWriteSize); }

  // The text waiting to be written: append to it, then call wrote().
  std::string& text() { return text_; }

  // Writes the waiting text once it has grown to kWriteSize.
  void wrote() {
    if (text_.size() >= kWriteSize) flush();
  }

  // Writes all waiting text. Returns false when this or any earlier write
  // failed.
  bool flush();

  // Writes all waiting text, then `bytes` straight to the sink, without a
  // copy in the buffer: a page may be hundreds of megabytes. A failure is
  // remembered as for any write.
  void write_through(std::string_view bytes);

 private:
  console::ByteSink& sink_;
  std::string text_;
  bool failed_ = false;
};

}  // namespace progress

#endif  // PROGRESS_OUTPUT_BUFFER_H_
