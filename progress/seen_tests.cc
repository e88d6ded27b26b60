#include "progress/seen_tests.h"

namespace progress {

namespace {

constexpr std::size_t kFirstSlots = 64;

bool empty(const records::Fingerprint& slot) { return slot == records::Fingerprint{}; }

}  // namespace

// The fingerprints are keyed hashes, so their low bits pick the slot.
bool SeenTests::repeated(const records::Fingerprint& fingerprint) {
  if (empty(fingerprint)) {
    const bool seen = zero_seen_;
    zero_seen_ = true;
    return seen;
  }
  if (2 * (count_ + 1) > slots_.size()) grow();
  const records::Fingerprint& value = fingerprint;
  const std::size_t mask = slots_.size() - 1;
  std::size_t at = static_cast<std::size_t>(value.low) & mask;
  for (; !empty(slots_[at]); at = (at + 1) & mask) {
    if (slots_[at] == value) return true;
  }
  slots_[at] = value;
  ++count_;
  return false;
}

void SeenTests::grow() {
  std::vector<records::Fingerprint> old(slots_.empty() ? kFirstSlots : 2 * slots_.size());
  old.swap(slots_);
  count_ = 0;
  for (const records::Fingerprint& value : old) {
    if (!empty(value)) repeated(value);
  }
}

}  // namespace progress
