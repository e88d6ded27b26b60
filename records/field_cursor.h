// Reading fields from the front of a text in one pass: fixed texts, single
// bytes, numbers and texts up to a byte. The block reader's fast path uses
// it for a whole block; the answers reader, the CSV rows and the fact book
// use its compares of short texts, same_bytes() and same_text(). Each step
// returns false (or an empty or null view) when the bytes there do not
// fit, and the reader then leaves the bytes to its exact, slower reading.
// The steps are small and taken for every field of a log, so they are
// always inlined.
#ifndef RECORDS_FIELD_CURSOR_H_
#define RECORDS_FIELD_CURSOR_H_

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "records/number_field.h"
#include "text/fixed_text.h"

namespace records {

#define RECORDS_INLINE [[gnu::always_inline]] inline

#if defined(__SSE2__)
// Whether the `size` (at least 16) bytes at `a` and `b` are the same,
// sixteen at a time, the last piece overlapping the one before; the
// differences gathered and tested once.
RECORDS_INLINE bool same_by_sixteen(const char* a, const char* b, std::size_t size) {
  const auto differ = [](const char* x, const char* y) {
    return _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(x)),
                         _mm_loadu_si128(reinterpret_cast<const __m128i*>(y)));
  };
  __m128i diff = differ(a + size - 16, b + size - 16);
  for (std::size_t at = 0; at + 16 < size; at += 16)
    diff = _mm_or_si128(diff, differ(a + at, b + at));
  return _mm_movemask_epi8(_mm_cmpeq_epi8(diff, _mm_setzero_si128())) == 0xFFFF;
}
#endif

// Whether the `size` bytes at `a` and `b` are the same, compared a word at
// a time, the last word overlapping the one before (words of sixteen bytes
// where the processor compares sixteen, else eight, or four or two below
// eight): the texts compared are short, and a call to memcmp for each
// would cost more than the compare.
RECORDS_INLINE bool same_bytes(const char* a, const char* b, std::size_t size) {
#if defined(__SSE2__)
  if (size >= 16) return same_by_sixteen(a, b, size);
#endif
  const auto load = [](const char* bytes) {
    std::uint64_t word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
  };
  if (size < 8) {
    // Two loads of four or two bytes, overlapping, cover 2 to 7 bytes.
    const auto same = [a, b, size](auto word) {
      constexpr std::size_t kSize = sizeof word;
      decltype(word) x, y, x_end, y_end;
      std::memcpy(&x, a, kSize);
      std::memcpy(&y, b, kSize);
      std::memcpy(&x_end, a + size - kSize, kSize);
      std::memcpy(&y_end, b + size - kSize, kSize);
      return x == y && x_end == y_end;
    };
    if (size >= 4) return same(std::uint32_t{});
    if (size >= 2) return same(std::uint16_t{});
    return size == 0 || a[0] == b[0];
  }
  for (std::size_t at = 0; at + 8 < size; at += 8) {
    if (load(a + at) != load(b + at)) return false;
  }
  return load(a + size - 8) == load(b + size - 8);
}

// Whether the texts `a` and `b` are the same, their sizes first, then
// their bytes by same_bytes(): for the short names and heads compared for
// every test or answer read.
RECORDS_INLINE bool same_text(std::string_view a, std::string_view b) {
  return a.size() == b.size() && same_bytes(a.data(), b.data(), a.size());
}

//
// A cursor made with kChecked false is for bytes known to hold more than
// the steps can take (a whole block's most): its fixed texts, bytes and
// short numbers are then read without looking at how many bytes are left.
// The other steps look all the same.
template <bool kChecked>
class BasicFieldCursor {
 public:
  explicit BasicFieldCursor(std::string_view bytes)
      : start_(bytes.data()), at_(bytes.data()), end_(bytes.data() + bytes.size()) {}

  // The fixed text `expected`, known when compiling. Its size and bytes are
  // constants, so the compare unrolls into a few wide compares whose
  // differences are gathered and tested once.
  template <std::size_t N>
  RECORDS_INLINE bool fixed(const text::FixedText<N>& expected) {
    if (!has_room(N) || !same_bytes<N>(at_, expected.bytes)) return false;
    at_ += N;
    return true;
  }

  // The fixed text `expected`, chosen while reading: the texts are short,
  // and a call to memcmp for each would cost more than the compare.
  RECORDS_INLINE bool fixed(std::string_view expected) {
    const std::size_t size = expected.size();
    if (!has_room(size)) return false;
    const char* want = expected.data();
    if (!records::same_bytes(at_, want, size)) return false;
    at_ += size;
    return true;
  }

  // The byte `expected`.
  RECORDS_INLINE bool byte(char expected) {
    if (!has_room(1) || *at_ != expected) return false;
    ++at_;
    return true;
  }

  // A number field in [min, max] (number_field.h): its text, and its value
  // in `*value`; empty when there is none.
  RECORDS_INLINE std::string_view integer(std::int64_t min, std::int64_t max, std::int64_t* value) {
    const std::size_t size = read_number_field(remaining(), min, max, value);
    const std::string_view text(at_, size);
    at_ += size;
    return text;
  }

  // As integer(), for fields of one to three digits, as a block's numbers
  // almost always are: their bytes are looked at once, and any other text
  // (a sign, more digits, a leading zero) is left to integer().
  RECORDS_INLINE std::string_view short_integer(std::int64_t min, std::int64_t max,
                                                std::int64_t* value) {
    if (!has_room(4)) return integer(min, max, value);
    const auto digit = [this](std::size_t at) {
      return static_cast<unsigned>(static_cast<unsigned char>(at_[at])) - '0';
    };
    const unsigned first = digit(0);
    const unsigned second = digit(1);
    std::size_t size;
    std::int64_t read;
    if (first < 10 && second >= 10) {
      size = 1;
      read = first;
    } else if (first - 1 < 9 && second < 10 && digit(2) >= 10) {
      size = 2;
      read = first * 10 + second;
    } else if (first - 1 < 9 && second < 10 && digit(2) < 10 && digit(3) >= 10) {
      size = 3;
      read = (first * 10 + second) * 10 + digit(2);
    } else {
      return integer(min, max, value);
    }
    // A '-' after the digits makes the text no number, as integer() says.
    if (at_[size] == '-' || read < min || read > max) return {};
    *value = read;
    const std::string_view text(at_, size);
    at_ += size;
    return text;
  }

  // The next `size` bytes; empty when there are fewer.
  RECORDS_INLINE std::string_view take(std::size_t size) {
    if (!has_room(size)) return {};
    const std::string_view text(at_, size);
    at_ += size;
    return text;
  }

  // The text up to the next `stop`, which stays; null when there is none.
  RECORDS_INLINE std::string_view up_to(char stop) {
    if (at_ == end_) return {};
    const void* found = std::memchr(at_, stop, left());
    if (found == nullptr) return {};
    const std::string_view text(at_,
                                static_cast<std::size_t>(static_cast<const char*>(found) - at_));
    at_ += text.size();
    return text;
  }

  // The rest of the line, up to its CR LF or LF, which stays; empty when the
  // line does not end within the bytes.
  RECORDS_INLINE std::string_view rest_of_line() {
    std::string_view text = up_to('\n');
    if (text.data() == nullptr) return {};
    if (text.ends_with('\r')) {
      text.remove_suffix(1);
      --at_;
    }
    return text;
  }

  // The bytes not taken yet.
  std::string_view remaining() const { return std::string_view(at_, left()); }
  // Passes over `size` bytes, at most as many as remain.
  void skip(std::size_t size) { at_ += size < left() ? size : left(); }
  bool at_end() const { return at_ == end_; }
  // How many bytes the steps took.
  std::size_t used() const { return static_cast<std::size_t>(at_ - start_); }

 private:
  std::size_t left() const { return static_cast<std::size_t>(end_ - at_); }
  bool has_room(std::size_t size) const { return !kChecked || left() >= size; }
  RECORDS_INLINE static std::uint64_t load(const char* bytes) {
    std::uint64_t word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
  }

  // Whether the N bytes at `a` and `b` are the same: sixteen at a time where
  // the processor compares sixteen, else eight, the last piece overlapping
  // the one before; texts under eight bytes as two pieces of four or two.
  template <std::size_t N>
  RECORDS_INLINE static bool same_bytes(const char* a, const char* b) {
#if defined(__SSE2__)
    if constexpr (N >= 16) return same_by_sixteen(a, b, N);
#endif
    if constexpr (N >= 8) {
      std::uint64_t diff = load(a + N - 8) ^ load(b + N - 8);
      for (std::size_t at = 0; at + 8 < N; at += 8) diff |= load(a + at) ^ load(b + at);
      return diff == 0;
    } else if constexpr (N >= 4) {
      return ((load_as<std::uint32_t>(a) ^ load_as<std::uint32_t>(b)) |
              (load_as<std::uint32_t>(a + N - 4) ^ load_as<std::uint32_t>(b + N - 4))) == 0;
    } else if constexpr (N >= 2) {
      return ((load_as<std::uint16_t>(a) ^ load_as<std::uint16_t>(b)) |
              (load_as<std::uint16_t>(a + N - 2) ^ load_as<std::uint16_t>(b + N - 2))) == 0;
    } else {
      return N == 0 || a[0] == b[0];
    }
  }
  template <typename Word>
  RECORDS_INLINE static Word load_as(const char* bytes) {
    Word word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
  }

  const char* start_;
  const char* at_;
  const char* end_;
};
#undef RECORDS_INLINE

using FieldCursor = BasicFieldCursor<true>;

}  // namespace records

#endif  // RECORDS_FIELD_CURSOR_H_
