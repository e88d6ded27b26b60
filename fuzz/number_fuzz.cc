// Fuzz target for the console's word and integer reads. The first bytes of
// the data set up the run: byte 0 picks how many bytes each read of the
// source returns, byte 1 the size of the word buffer, byte 2 how many reads
// to make and bytes 3..10 which of them read a word rather than an integer;
// the rest is the typed text. Every read is checked against
// fuzzing::ReferenceInput: its outcome, the value or word stored, the stream
// flags, and that a failed read leaves its target alone. Then what stays
// unread is checked word by word, and reads after the end must refuse
// without touching the source, the tied output or their target.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "console/byte_stream.h"
#include "console/console_input.h"
#include "console/console_output.h"
#include "fuzz/reference_input.h"
#include "tests/support/fakes.h"

namespace {

using console::ReadResult;
using fuzzing::Outcome;

constexpr std::size_t kSetupSize = 11;
constexpr std::size_t kChunkSizes[8] = {1, 2, 3, 5, 16, 1000, 1024, 4096};
constexpr char kFill = 0x5A;
constexpr std::int32_t kUntouched = 0x5EED1234;

struct Setup {
  std::size_t chunk;
  std::size_t word_size;
  int reads;
  std::uint64_t word_mask;  // bit i set: read i reads a word
};

// One console input stream over the text, with a tied output whose sink
// shows when the stream flushes it, and the reference reading the same text.
class Harness {
 public:
  Harness(std::string_view text, const Setup& setup)
      : setup_(setup), source_(text, setup.chunk), out_(sink_), in_(source_, &out_), model_(text) {}

  void read_integer();
  void read_word();
  void check_unread();
  void check_refusals();

 private:
  void before_read();
  void after_read(ReadResult result, Outcome expected);

  Setup setup_;
  testing_support::StringSource source_;
  testing_support::StringSink sink_;
  console::ConsoleOutput out_;
  console::ConsoleInput in_;
  fuzzing::ReferenceInput model_;
  bool was_good_ = true;
  std::size_t reads_before_ = 0;
  std::size_t flushed_before_ = 0;
};

Setup read_setup(const std::uint8_t* data);
[[noreturn]] void fail(const char* what);
Outcome outcome_of(ReadResult result);

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < kSetupSize) return 0;
  const Setup setup = read_setup(data);
  const std::string_view text(reinterpret_cast<const char*>(data) + kSetupSize, size - kSetupSize);
  Harness harness(text, setup);
  for (int i = 0; i < setup.reads; ++i) {
    if ((setup.word_mask >> i) & 1) {
      harness.read_word();
    } else {
      harness.read_integer();
    }
  }
  harness.check_unread();
  harness.check_refusals();
  return 0;
}

namespace {

Setup read_setup(const std::uint8_t* data) {
  Setup setup;
  setup.chunk = kChunkSizes[data[0] % 8];
  setup.word_size = 1 + data[1] % 16;
  setup.reads = data[2] % 64;
  setup.word_mask = 0;
  for (int i = 0; i < 8; ++i) setup.word_mask |= std::uint64_t{data[3 + i]} << (8 * i);
  return setup;
}

[[noreturn]] void fail(const char* what) {
  std::fprintf(stderr, "number_fuzz: %s\n", what);
  std::abort();
}

Outcome outcome_of(ReadResult result) {
  switch (result) {
    case ReadResult::ok:
      return Outcome::ok;
    case ReadResult::ended:
      return Outcome::ended;
    case ReadResult::not_a_number:
      return Outcome::not_a_number;
    case ReadResult::not_good:
      return Outcome::not_good;
  }
  fail("read returned a value outside ReadResult");
}

// Reads one integer with both readers; the target starts at a marker value
// and must keep it unless the read succeeds.
void Harness::read_integer() {
  before_read();
  std::int32_t value = kUntouched;
  std::int32_t expected = kUntouched;
  const ReadResult result = in_.read_integer(&value);
  const Outcome outcome = model_.read_integer(&expected);
  after_read(result, outcome);
  if (value != expected) {
    std::fprintf(stderr, "read %d, expected %d\n", value, expected);
    fail("integer read stored the wrong value");
  }
}

// Reads one word into a heap buffer of exactly the chosen size, so a write
// past it is caught by AddressSanitizer; the word must be its leading bytes
// and a NUL, and a failed read must leave the buffer as it was.
void Harness::read_word() {
  before_read();
  std::unique_ptr<char[]> buffer(new char[setup_.word_size]);
  std::memset(buffer.get(), kFill, setup_.word_size);
  std::string expected;
  const ReadResult result = in_.read_word(buffer.get(), setup_.word_size);
  const Outcome outcome = model_.read_word(expected);
  after_read(result, outcome);
  if (outcome == Outcome::ok) {
    const std::size_t kept = std::min(expected.size(), setup_.word_size - 1);
    if (std::memcmp(buffer.get(), expected.data(), kept) != 0 || buffer[kept] != '\0') {
      fail("word read stored other bytes than the word's beginning");
    }
  } else {
    for (std::size_t i = 0; i < setup_.word_size; ++i) {
      if (buffer[i] != kFill) fail("failed word read changed its buffer");
    }
  }
}

// Marks the tied output with one unflushed byte and notes how far the
// source has been read.
void Harness::before_read() {
  was_good_ = in_.good();
  reads_before_ = source_.reads();
  flushed_before_ = sink_.bytes().size();
  out_ << "?";
}

// Compares the outcome and the flags with the reference. A read made while
// the stream was good flushes the tied output first; a refused read must not
// flush it nor touch the source.
void Harness::after_read(ReadResult result, Outcome expected) {
  if (outcome_of(result) != expected) fail("read outcome differs from the reference");
  if (in_.end_of_input() != model_.end_of_input()) fail("end-of-input flag differs");
  if (in_.failed() != model_.failed()) fail("failed flag differs");
  if (was_good_) {
    if (sink_.bytes().size() != flushed_before_ + 1) fail("read did not flush the tied output");
  } else {
    if (result != ReadResult::not_good) fail("read after the end did not refuse");
    if (source_.reads() != reads_before_) fail("refused read read the source");
    if (sink_.bytes().size() != flushed_before_) fail("refused read flushed the tied output");
  }
}

// While the stream is still good, reads the rest word by word, each into a
// buffer that holds it whole, and compares the words with the reference's:
// this shows exactly what the earlier reads left unread. A word shows up to
// its first NUL.
void Harness::check_unread() {
  std::vector<char> buffer(model_.unread().size() + 1);
  while (in_.good()) {
    std::string expected;
    const ReadResult result = in_.read_word(buffer.data(), buffer.size());
    const Outcome outcome = model_.read_word(expected);
    if (outcome_of(result) != outcome) fail("read outcome differs from the reference");
    if (result == ReadResult::ok && expected.substr(0, expected.find('\0')) != buffer.data()) {
      fail("the text left unread differs from the reference");
    }
  }
  if (model_.good()) fail("reference still good after the stream ended");
}

// Once the stream has ended or failed, every read must refuse.
void Harness::check_refusals() {
  if (in_.good()) fail("stream good after the last read");
  for (int i = 0; i < 2; ++i) {
    read_integer();
    read_word();
  }
}

}  // namespace
