// The tests read so far, by the fingerprints of their blocks
// (records::LoggedTest::fingerprint), so that a test identical in every
// line to one read before (a copy of a log, a teacher's logs that overlap,
// a log appended to another) counts once, wherever the copies stand: in
// one file or in several, in any order of the files. run_progress keeps
// one when more than one file is named.
//
// The fingerprints are keyed hashes under a key drawn in each run
// (records/fingerprint.h), so no log can be written to make its blocks
// fall together in this table. Memory is 16 to 32 bytes for each test
// read.
#ifndef PROGRESS_SEEN_TESTS_H_
#define PROGRESS_SEEN_TESTS_H_

#include <cstddef>
#include <vector>

#include "records/fingerprint.h"

namespace progress {

class SeenTests {
 public:
  // Whether a test of this fingerprint was read before; it is remembered
  // from now on.
  bool repeated(const records::Fingerprint& fingerprint);

 private:
  void grow();

  // An open-addressing table: all zero for an empty slot; its size is 0 or
  // a power of two, at most half full. The fingerprint zero is kept apart.
  std::vector<records::Fingerprint> slots_;
  std::size_t count_ = 0;
  bool zero_seen_ = false;
};

}  // namespace progress

#endif  // PROGRESS_SEEN_TESTS_H_
