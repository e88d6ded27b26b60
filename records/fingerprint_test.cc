#include "records/fingerprint.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace records {
namespace {

// The published SipHash-2-4 128-bit vectors: the key 00 01 .. 0f, and the
// message 00 01 .. of `size` bytes.
struct VectorCase {
  std::size_t size;
  std::uint8_t bytes[16];
};

constexpr FingerprintKey kVectorKey = {.first = 0x0706050403020100u, .second = 0x0f0e0d0c0b0a0908u};

std::string message_of(std::size_t size) {
  std::string message;
  for (std::size_t i = 0; i < size; ++i) message.push_back(static_cast<char>(i));
  return message;
}

Fingerprint fingerprint_of(const std::uint8_t (&bytes)[16]) {
  Fingerprint expected;
  for (int i = 7; i >= 0; --i) {
    expected.low = (expected.low << 8) | bytes[i];
    expected.high = (expected.high << 8) | bytes[8 + i];
  }
  return expected;
}

const VectorCase kVectors[] = {
    {.size = 0,
     .bytes = {0xa3, 0x81, 0x7f, 0x04, 0xba, 0x25, 0xa8, 0xe6, 0x6d, 0xf6, 0x72, 0x14, 0xc7, 0x55,
               0x02, 0x93}},
    {.size = 1,
     .bytes = {0xda, 0x87, 0xc1, 0xd8, 0x6b, 0x99, 0xaf, 0x44, 0x34, 0x76, 0x59, 0x11, 0x9b, 0x22,
               0xfc, 0x45}},
    {.size = 7,
     .bytes = {0xa1, 0xf1, 0xeb, 0xbe, 0xd8, 0xdb, 0xc1, 0x53, 0xc0, 0xb8, 0x4a, 0xa6, 0x1f, 0xf0,
               0x82, 0x39}},
    {.size = 9,
     .bytes = {0x26, 0x44, 0x99, 0x06, 0x0a, 0xd9, 0xba, 0xab, 0xc4, 0x7f, 0x8b, 0x02, 0xbb, 0x6d,
               0x71, 0xed}},
    {.size = 15,
     .bytes = {0x54, 0x93, 0xe9, 0x99, 0x33, 0xb0, 0xa8, 0x11, 0x7e, 0x08, 0xec, 0x0f, 0x97, 0xcf,
               0xc3, 0xd9}},
    {.size = 63,
     .bytes = {0x51, 0x50, 0xd1, 0x77, 0x2f, 0x50, 0x83, 0x4a, 0x50, 0x3e, 0x06, 0x9a, 0x97, 0x3f,
               0xbd, 0x7c}},
};

TEST(FingerprintTest, MatchesThePublishedVectorsWhateverThePieces) {
  for (const VectorCase& c : kVectors) {
    const std::string message = message_of(c.size);
    for (std::size_t cut = 0; cut <= c.size; ++cut) {
      FingerprintHasher hasher(kVectorKey);
      hasher.add(std::string_view(message).substr(0, cut));
      hasher.add(std::string_view(message).substr(cut));
      EXPECT_EQ(hasher.finish(), fingerprint_of(c.bytes)) << c.size << " bytes, cut at " << cut;
    }
  }
}

TEST(FingerprintTest, DependsOnTheKey) {
  FingerprintHasher one(kVectorKey);
  FingerprintHasher other({.first = kVectorKey.first, .second = kVectorKey.second ^ 1});
  one.add("Test results for Ann:");
  other.add("Test results for Ann:");
  EXPECT_NE(one.finish(), other.finish());
  const FingerprintKey first = random_fingerprint_key();
  const FingerprintKey second = random_fingerprint_key();
  EXPECT_FALSE(first.first == second.first && first.second == second.second);
}

}  // namespace
}  // namespace records
