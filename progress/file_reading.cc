#include "progress/file_reading.h"

#include <algorithm>
#include <cstdint>

#include "records/answers_format.h"
#include "records/format.h"
#include "records/operations.h"

namespace progress {

namespace {

// A file is read in pieces of at most kLargestPiece bytes. The buffer
// starts at kFirstPiece and grows while reads fill it; it is kept for the
// files after.
constexpr std::size_t kFirstPiece = 4096;
constexpr std::size_t kLargestPiece = 1024 * 1024;

records::Fingerprint answers_test_fingerprint(const records::Answer& answer,
                                              records::FingerprintKey key);

}  // namespace

FileReading::FileReading(Files& files, Messages& messages, bool several_files)
    : files_(files),
      messages_(messages),
      buffer_(new char[kFirstPiece]),
      buffer_size_(kFirstPiece) {
  if (several_files) {
    seen_.emplace();
    seen_answers_.emplace();
    fingerprint_key_ = records::random_fingerprint_key();
  }
}

bool FileReading::read(const std::string& name, Taker& taker) {
  if (names_read_.contains(name)) {
    messages_.about_file(name, "named more than once, read once");
    return true;
  }
  std::unique_ptr<Input> input;
  if (const files::Status opened = files_.open(name, &input); !opened.ok()) {
    messages_.about_file(name, opened.reason());
    return false;
  }
  if (const std::optional<files::FileIdentity> identity = input->identity()) {
    const auto [first, added] = files_read_.try_emplace(*identity, name);
    if (!added) {
      messages_.about_file(name,
                           "the same file as " + safe_file_name(first->second) + ", read once");
      return true;
    }
  }
  names_read_.insert(name);
  // A file whose first line is the answers header holds answers.
  const std::string head = read_head(*input);
  std::string_view first_line = std::string_view(head).substr(0, head.find('\n'));
  if (first_line.starts_with(records::kByteOrderMark)) {
    first_line.remove_prefix(records::kByteOrderMark.size());
  }
  if (first_line.ends_with('\r')) first_line.remove_suffix(1);
  if (records::is_answers_header(first_line)) {
    read_answers(name, head, *input, taker);
  } else {
    read_blocks(name, head, *input, taker);
  }
  if (const files::Status read = input->read_status(); !read.ok()) {
    messages_.about_file(name, read.reason());
    return false;
  }
  return true;
}

// The next piece of `input` in the buffer; empty at its end. The pieces
// before it have been read through, so the buffer may grow first.
std::string_view FileReading::next_piece(Input& input) {
  if (last_read_ == buffer_size_ && buffer_size_ < kLargestPiece) {
    buffer_size_ = std::min(buffer_size_ * 4, kLargestPiece);
    buffer_.reset(new char[buffer_size_]);
  }
  last_read_ = input.read(buffer_.get(), buffer_size_);
  return {buffer_.get(), last_read_};
}

// The first bytes of `input`: up to its first line end, or enough to tell
// that its first line is not the answers header, or all of it when
// shorter. Copied, as the buffer is read into again.
std::string FileReading::read_head(Input& input) {
  constexpr std::size_t kEnough =
      records::kByteOrderMark.size() + records::kAnswersHeader.size() + 2;
  std::string head;
  while (head.find('\n') == std::string::npos && head.size() < kEnough) {
    const std::string_view piece = next_piece(input);
    if (piece.empty()) break;
    head.append(piece);
  }
  return head;
}

// Reads a records log through, `head` first, handing its tests over.
void FileReading::read_blocks(std::string_view name, std::string_view head, Input& input,
                              Taker& taker) {
  records::BlockReader reader;
  if (seen_) reader.make_fingerprints(fingerprint_key_);
  std::uint64_t duplicates = 0;
  for (std::string_view piece = head; !piece.empty(); piece = next_piece(input)) {
    reader.add(piece);
    while (const records::LoggedTest* test = reader.next()) {
      if (seen_ && seen_->repeated(test->fingerprint)) {
        ++duplicates;
      } else {
        taker.take_test(*test);
      }
    }
  }
  messages_.about_skipped(name, reader.finish(), duplicates);
}

// Reads an answers file through, `head` first, handing its answers over. A
// test's lines follow each other, so each test is looked up among those
// read before once, at its first line.
void FileReading::read_answers(std::string_view name, std::string_view head, Input& input,
                               Taker& taker) {
  records::AnswersReader reader;
  std::uint64_t duplicates = 0;
  std::optional<std::uint64_t> test;  // the reader's mark of the test being read
  bool repeated = false;
  for (std::string_view piece = head; !piece.empty(); piece = next_piece(input)) {
    reader.add(piece);
    while (const records::Answer* answer = reader.next()) {
      if (test != answer->fingerprint) {
        test = answer->fingerprint;
        repeated = seen_answers_ &&
                   seen_answers_->repeated(answers_test_fingerprint(*answer, fingerprint_key_));
        if (repeated) ++duplicates;
      }
      if (!repeated) taker.take_answer(*answer);
    }
  }
  messages_.about_skipped(name, reader.finish(), duplicates, "answer");
}

namespace {

// The keyed fingerprint of the test an answer belongs to: of the fields that
// all of a test's lines repeat (its start, name, operations and limit), so
// that a test read before, in this file or another, counts once.
records::Fingerprint answers_test_fingerprint(const records::Answer& answer,
                                              records::FingerprintKey key) {
  records::FingerprintHasher hasher(key);
  const auto add_text = [&hasher](std::string_view text) {
    const auto size = static_cast<std::uint32_t>(text.size());
    hasher.add(std::string_view(reinterpret_cast<const char*>(&size), sizeof size));
    hasher.add(text);
  };
  add_text(answer.started);
  add_text(answer.name);
  add_text(records::signs(answer.operations).view());
  hasher.add(std::string_view(reinterpret_cast<const char*>(&answer.limit), sizeof answer.limit));
  return hasher.finish();
}

}  // namespace

}  // namespace progress
