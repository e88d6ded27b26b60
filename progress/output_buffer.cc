#include "progress/output_buffer.h"

namespace progress {

bool OutputBuffer::flush() {
  if (!failed_ && !text_.empty() && !sink_.write(text_.data(), text_.size())) failed_ = true;
  text_.clear();
  return !failed_;
}

void OutputBuffer::write_through(std::string_view bytes) {
  flush();
  if (!failed_ && !bytes.empty() && !sink_.write(bytes.data(), bytes.size())) failed_ = true;
}

}  // namespace progress
