// How an operation on a file went: done, or failed with the system's reason
// ("Permission denied", "No space left on device"). Every file operation of
// both programs that can fail returns one, as leveldb's Status does, and the
// reason is shown once, where the program reports to its user. The drill
// keeps its failures free of allocation: a reason from the system's fixed
// texts is held as a view; one built on the spot is owned.
#ifndef FILES_STATUS_H_
#define FILES_STATUS_H_

#include <string>
#include <string_view>
#include <utility>

namespace files {

class Status {
 public:
  // Done.
  Status() = default;

  // Failed for `reason`, a text that outlives the Status (strerror's, or a
  // literal).
  static Status failed(std::string_view reason) { return Status(reason); }
  static Status failed(const char* reason) { return Status(std::string_view(reason)); }

  // Failed for `reason`, built for this failure.
  static Status failed(std::string reason) { return Status(std::move(reason)); }

  bool ok() const { return !failed_; }

  // Why it failed; empty when done.
  std::string_view reason() const { return owned_.empty() ? reason_ : owned_; }

 private:
  explicit Status(std::string_view reason) : failed_(true), reason_(reason) {}
  explicit Status(std::string reason) : failed_(true), owned_(std::move(reason)) {}

  bool failed_ = false;
  std::string_view reason_;
  std::string owned_;
};

}  // namespace files

#endif  // FILES_STATUS_H_
