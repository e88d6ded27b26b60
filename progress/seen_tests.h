// The tests read from the files before the one being read, by the
// fingerprints of their blocks (records::LoggedTest::fingerprint), so that
// a test identical in every line to one read from another file (a copy of a
// log, a teacher's logs that overlap) is counted once. run_progress keeps
// one when more than one file is named.
//
// Memory is 8 to 16 bytes for each test of every file but the last, which
// is only looked up: nothing for one file, however large. Two different
// blocks share a 64-bit fingerprint with a chance of about one in 10^19 a
// pair, and the later one would then be taken for a duplicate.
#ifndef PROGRESS_SEEN_TESTS_H_
#define PROGRESS_SEEN_TESTS_H_

#include <cstddef>
#include <cstdint>
#include <vector>

namespace progress {

class SeenTests {
 public:
  // Starts reading a file, after which the tests of the file before count
  // as read. `last` tells whether it is the last file, whose tests need not
  // be remembered.
  void start_file(bool last);

  // Whether a test of this fingerprint was read from a file before the one
  // being read. Unless that file is the last, the test is remembered for the
  // files after it.
  bool repeated(std::uint64_t fingerprint);

 private:
  bool contains(std::uint64_t fingerprint) const;
  void insert(std::uint64_t fingerprint);
  void grow();

  // An open-addressing table of the earlier files' fingerprints, with 0 for
  // an empty slot (fingerprint 0 is stored as 1); its size is 0 or a power
  // of two, at most half full.
  std::vector<std::uint64_t> slots_;
  std::size_t count_ = 0;
  // The fingerprints of the file being read, not looked up until it ends.
  std::vector<std::uint64_t> this_file_;
  bool remember_ = true;
};

}  // namespace progress

#endif  // PROGRESS_SEEN_TESTS_H_
