// In-memory doubles of the drill's surroundings, for the tests, the fuzz
// targets and the benchmark: byte sources and sinks on strings, a results
// log in memory, and a clock that hands out given readings and breaks times
// down in UTC without the platform. Nothing here is part of the program.
#ifndef TESTS_SUPPORT_FAKES_H_
#define TESTS_SUPPORT_FAKES_H_

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "console/byte_stream.h"
#include "console/clock.h"
#include "files/append_file.h"

namespace testing_support {

using console::ByteSink;
using console::ByteSource;
using console::CalendarTime;
using text::CivilTime;

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

// A results log in memory: keeps the blocks, or refuses them all with
// `refusal` as the system's reason when that is not empty.
// With a header, the first append writes it and a CR LF first, as
// FileAppender does for a new file.
class MemoryAppender : public files::Appender {
 public:
  explicit MemoryAppender(std::string_view refusal = {}, std::string_view name = "records.txt",
                          std::string_view header = {})
      : refusal_(refusal), name_(name), header_(header) {}
  files::AppendResult append(std::string_view block) override;
  std::string_view name() const override { return name_; }
  const std::string& contents() const { return contents_; }
  int blocks() const { return blocks_; }

 private:
  std::string refusal_;
  std::string name_;
  std::string header_;
  std::string contents_;
  int blocks_ = 0;
};

// `time` broken down in UTC, computed without the platform; used by the
// fake clock and by checks of the texts that show times. Nothing for times
// more than about a billion years away.
std::optional<CivilTime> utc_time(CalendarTime time);

// A clock for tests, fuzzing and benchmarks: hands out the given readings in
// turn (the last one for ever after) and breaks times down in UTC.
class FakeClock : public console::Clock {
 public:
  // A reading of nothing stands for a clock that cannot be read.
  explicit FakeClock(std::vector<std::optional<CalendarTime>> readings)
      : readings_(std::move(readings)) {}
  std::optional<CalendarTime> now() override;
  std::optional<CivilTime> local_time(CalendarTime time) override { return utc_time(time); }
  // A monotonic count that moves on by kMillisecondsStep at every reading.
  std::uint64_t milliseconds() override { return milliseconds_ += kMillisecondsStep; }
  static constexpr std::uint64_t kMillisecondsStep = 1500;
  // How many times now() was called.
  std::size_t readings_taken() const { return taken_; }

 private:
  std::vector<std::optional<CalendarTime>> readings_;
  std::size_t next_ = 0;
  std::size_t taken_ = 0;
  std::uint64_t milliseconds_ = 0;
};

}  // namespace testing_support

#endif  // TESTS_SUPPORT_FAKES_H_
