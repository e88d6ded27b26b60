#include "progress/output_buffer.h"

namespace progress {

bool OutputBuffer::flush() {
  if (!failed_ && !text_.empty() && !sink_.write(text_.data(), text_.size())) failed_ = true;
  text_.clear();
  return !failed_;
}

}  // namespace progress
