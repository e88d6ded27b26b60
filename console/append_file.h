// Appending whole blocks to a file: the results log writes each test's block
// through an Appender, so that the block lands entire or not at all and tests
// can use an in-memory log. The file-backed version is FileAppender in
// system.h.
#ifndef CONSOLE_APPEND_FILE_H_
#define CONSOLE_APPEND_FILE_H_

#include <string>
#include <string_view>

namespace console {

class Appender {
 public:
  virtual ~Appender() = default;
  // Appends `block` at the end, all of it in one piece. Returns false when
  // the target cannot be opened or written; then no part of the block stays.
  virtual bool append(std::string_view block) = 0;
};

// An in-memory appender for tests: keeps the blocks, or refuses them all.
class MemoryAppender : public Appender {
 public:
  explicit MemoryAppender(bool usable = true) : usable_(usable) {}
  bool append(std::string_view block) override {
    if (!usable_) return false;
    contents_.append(block);
    ++blocks_;
    return true;
  }
  const std::string& contents() const { return contents_; }
  int blocks() const { return blocks_; }

 private:
  bool usable_;
  std::string contents_;
  int blocks_ = 0;
};

}  // namespace console

#endif  // CONSOLE_APPEND_FILE_H_
