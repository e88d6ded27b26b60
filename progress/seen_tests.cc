#include "progress/seen_tests.h"

namespace progress {

namespace {

constexpr std::size_t kFirstSlots = 64;

std::uint64_t stored(std::uint64_t fingerprint) { return fingerprint == 0 ? 1 : fingerprint; }

}  // namespace

void SeenTests::start_file(bool last) {
  for (std::uint64_t fingerprint : this_file_) insert(fingerprint);
  this_file_.clear();
  this_file_.shrink_to_fit();
  remember_ = !last;
}

bool SeenTests::repeated(std::uint64_t fingerprint) {
  if (contains(fingerprint)) return true;
  if (remember_) this_file_.push_back(fingerprint);
  return false;
}

bool SeenTests::contains(std::uint64_t fingerprint) const {
  if (slots_.empty()) return false;
  const std::uint64_t value = stored(fingerprint);
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t at = value & mask; slots_[at] != 0; at = (at + 1) & mask) {
    if (slots_[at] == value) return true;
  }
  return false;
}

// Fingerprints are hashes already, so their low bits pick the slot.
void SeenTests::insert(std::uint64_t fingerprint) {
  if (2 * (count_ + 1) > slots_.size()) grow();
  const std::uint64_t value = stored(fingerprint);
  const std::size_t mask = slots_.size() - 1;
  std::size_t at = value & mask;
  for (; slots_[at] != 0; at = (at + 1) & mask) {
    if (slots_[at] == value) return;
  }
  slots_[at] = value;
  ++count_;
}

void SeenTests::grow() {
  std::vector<std::uint64_t> old(slots_.empty() ? kFirstSlots : 2 * slots_.size(), 0);
  old.swap(slots_);
  count_ = 0;
  for (std::uint64_t value : old) {
    if (value != 0) insert(value);
  }
}

}  // namespace progress
