// The identity of a test read from a log: a keyed hash of its lines, so
// that a test found in several files, or twice in one, counts once.
// Anyone may write a log, so the hash is one made for input chosen to
// collide: SipHash-2-4 with its 128-bit output, under a key drawn at random
// in each run. Without the key, no one can write a block whose identity is
// that of another child's test (which would hide it), nor flood the table
// of seen tests with blocks that fall together. The readers of both formats
// make the fingerprints; mathdrill-progress keeps them (seen_tests).
#ifndef RECORDS_FINGERPRINT_H_
#define RECORDS_FINGERPRINT_H_

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace records {

// A 128-bit SipHash output: its first eight bytes in `low`, as little-endian
// numbers.
struct Fingerprint {
  std::uint64_t low = 0;
  std::uint64_t high = 0;

  bool operator==(const Fingerprint&) const = default;
};

// The 128-bit key: its first eight bytes in `first`, little-endian.
struct FingerprintKey {
  std::uint64_t first = 0;
  std::uint64_t second = 0;
};

// A key drawn from the system's source of randomness (std::random_device).
// Should that source give nothing random, the key is still one no log can
// know in advance, as it mixes in the time and an address of this run.
FingerprintKey random_fingerprint_key();

// SipHash-2-4 with a 128-bit output over the bytes given, in pieces of any
// size: add() every piece, then finish().
class FingerprintHasher {
 public:
  explicit FingerprintHasher(FingerprintKey key);

  // Adds the bytes of `piece` to those hashed.
  void add(std::string_view piece);

  // The hash of every byte added. The hasher is not to be used after.
  Fingerprint finish();

 private:
  void compress(std::uint64_t block);

  std::uint64_t v0_, v1_, v2_, v3_;
  std::uint64_t tail_ = 0;     // the bytes of a block not yet complete
  std::size_t tail_size_ = 0;  // 0..7
  std::uint64_t total_size_ = 0;
};

}  // namespace records

#endif  // RECORDS_FINGERPRINT_H_
