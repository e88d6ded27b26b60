#include "records/fingerprint.h"

#include <bit>
#include <chrono>
#include <cstring>
#include <random>

namespace records {

namespace {

constexpr std::uint64_t rotate(std::uint64_t value, int bits) {
  return (value << bits) | (value >> (64 - bits));
}

void sip_round(std::uint64_t* v0, std::uint64_t* v1, std::uint64_t* v2, std::uint64_t* v3);
std::uint64_t little_endian_word(const char* bytes);

}  // namespace

FingerprintKey random_fingerprint_key() {
  std::random_device device;
  auto draw = [&device] {
    return (static_cast<std::uint64_t>(device()) << 32) ^ static_cast<std::uint64_t>(device());
  };
  const int local = 0;
  const auto now =
      static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
  const auto place = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(&local));
  return {.first = draw() ^ now, .second = draw() ^ rotate(place, 29)};
}

FingerprintHasher::FingerprintHasher(FingerprintKey key)
    : v0_(key.first ^ 0x736f6d6570736575u),
      v1_(key.second ^ 0x646f72616e646f6du ^ 0xeeu),  // 0xee: the 128-bit output
      v2_(key.first ^ 0x6c7967656e657261u),
      v3_(key.second ^ 0x7465646279746573u) {}

void FingerprintHasher::add(std::string_view piece) {
  total_size_ += piece.size();
  const char* at = piece.data();
  const char* const end = at + piece.size();
  const auto take_byte = [this](char c) {
    tail_ |= static_cast<std::uint64_t>(static_cast<unsigned char>(c)) << (8 * tail_size_);
    if (++tail_size_ == 8) {
      compress(tail_);
      tail_ = 0;
      tail_size_ = 0;
    }
  };
  // The block an earlier piece began, then whole blocks read at once, then
  // the start of the next block.
  while (tail_size_ != 0 && at != end) take_byte(*at++);
  for (; end - at >= 8; at += 8) compress(little_endian_word(at));
  while (at != end) take_byte(*at++);
}

Fingerprint FingerprintHasher::finish() {
  compress(tail_ | (total_size_ << 56));
  v2_ ^= 0xee;
  for (int round = 0; round < 4; ++round) sip_round(&v0_, &v1_, &v2_, &v3_);
  const std::uint64_t low = v0_ ^ v1_ ^ v2_ ^ v3_;
  v1_ ^= 0xdd;
  for (int round = 0; round < 4; ++round) sip_round(&v0_, &v1_, &v2_, &v3_);
  return {.low = low, .high = v0_ ^ v1_ ^ v2_ ^ v3_};
}

// One block of eight bytes, with the two compression rounds of SipHash-2-4.
void FingerprintHasher::compress(std::uint64_t block) {
  v3_ ^= block;
  sip_round(&v0_, &v1_, &v2_, &v3_);
  sip_round(&v0_, &v1_, &v2_, &v3_);
  v0_ ^= block;
}

namespace {

// The eight bytes at `bytes` as SipHash reads a block: the first byte
// lowest.
std::uint64_t little_endian_word(const char* bytes) {
  std::uint64_t word = 0;
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(&word, bytes, sizeof word);
  } else {
    for (int at = 7; at >= 0; --at) word = word << 8 | static_cast<unsigned char>(bytes[at]);
  }
  return word;
}

void sip_round(std::uint64_t* v0, std::uint64_t* v1, std::uint64_t* v2, std::uint64_t* v3) {
  *v0 += *v1;
  *v1 = rotate(*v1, 13);
  *v1 ^= *v0;
  *v0 = rotate(*v0, 32);
  *v2 += *v3;
  *v3 = rotate(*v3, 16);
  *v3 ^= *v2;
  *v0 += *v3;
  *v3 = rotate(*v3, 21);
  *v3 ^= *v0;
  *v2 += *v1;
  *v1 = rotate(*v1, 17);
  *v1 ^= *v2;
  *v2 = rotate(*v2, 32);
}

}  // namespace

}  // namespace records
