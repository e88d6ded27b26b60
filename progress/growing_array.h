// An array of plain values that grows at its end, as std::vector does, but
// without copying them into fresh memory at each doubling. The book uses it
// for each child's kept tests: --child keeps every test of one child, tens
// of megabytes for a large log. A small array grows by realloc(); from
// kLargeBlockMinimum bytes on it lives in a large block (large_block.h),
// which grows by moving its pages and is faulted in 2 MiB ahead of the
// values written, in one call each time, so that faults are few even where
// the system has no 2 MiB page to give. Where there are no large blocks,
// realloc() goes on (glibc moves a large block by remapping its pages too,
// without a copy).
#ifndef PROGRESS_GROWING_ARRAY_H_
#define PROGRESS_GROWING_ARRAY_H_

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>
#include <utility>

#include "progress/large_block.h"

namespace progress {

template <typename T>
class GrowingArray {
  static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>,
                "the values are moved as bytes and never destroyed");

 public:
  using value_type = T;

  GrowingArray() = default;
  GrowingArray(const GrowingArray& other) { append(other.data_, other.size_); }
  GrowingArray(GrowingArray&& other) noexcept
      : data_(std::exchange(other.data_, nullptr)),
        size_(std::exchange(other.size_, 0)),
        capacity_(std::exchange(other.capacity_, 0)),
        large_(std::exchange(other.large_, false)),
        filled_(std::exchange(other.filled_, 0)) {}
  GrowingArray& operator=(GrowingArray other) noexcept {
    std::swap(data_, other.data_);
    std::swap(size_, other.size_);
    std::swap(capacity_, other.capacity_);
    std::swap(large_, other.large_);
    std::swap(filled_, other.filled_);
    return *this;
  }
  ~GrowingArray() {
    if (large_) {
      unmap_large_block(data_, capacity_ * sizeof(T));
    } else {
      std::free(data_);
    }
  }

  T* data() { return data_; }
  const T* data() const { return data_; }
  std::size_t size() const { return size_; }
  std::size_t capacity() const { return capacity_; }
  bool empty() const { return size_ == 0; }
  T* begin() { return data_; }
  T* end() { return data_ + size_; }
  const T* begin() const { return data_; }
  const T* end() const { return data_ + size_; }
  T& operator[](std::size_t i) { return data_[i]; }
  const T& operator[](std::size_t i) const { return data_[i]; }
  T& back() { return data_[size_ - 1]; }
  const T& back() const { return data_[size_ - 1]; }

  // Makes room for `capacity` values in all. Memory that cannot be had is
  // handled as operator new handles it: the new handler runs (which ends
  // mathdrill-progress with its message), and without one the program
  // aborts.
  void reserve(std::size_t capacity) {
    if (capacity <= capacity_) return;
    if (capacity > static_cast<std::size_t>(-1) / sizeof(T)) {
      fail();
      std::abort();
    }
    const std::size_t bytes = capacity * sizeof(T);
    void* grown = nullptr;
    if (large_) {
      while ((grown = grow_large_block(data_, capacity_ * sizeof(T), bytes)) == nullptr) fail();
    } else if (bytes >= kLargeBlockMinimum && (grown = map_large_block(bytes)) != nullptr) {
      filled_ = 0;
      fill_up_to(grown, size_ * sizeof(T));
      if (size_ != 0) std::memcpy(grown, static_cast<const void*>(data_), size_ * sizeof(T));
      std::free(data_);
      large_ = true;
    } else {
      while ((grown = std::realloc(data_, bytes)) == nullptr) fail();
    }
    data_ = static_cast<T*>(grown);
    capacity_ = capacity;
  }

  // Adds `value` at the end, doubling the room when it is full; `value` may
  // be one of the array's own.
  void push_back(const T& value) {
    const T copy = value;
    if (size_ == capacity_) reserve(capacity_ == 0 ? 4 : 2 * capacity_);
    if (large_ && (size_ + 1) * sizeof(T) > filled_) fill_up_to(data_, (size_ + 1) * sizeof(T));
    data_[size_++] = copy;
  }

 private:
  // Faults in the large block `block` in 2 MiB steps until its first
  // `bytes` bytes are in.
  void fill_up_to(void* block, std::size_t bytes) {
    while (filled_ < bytes) {
      fill_large_block(block, filled_, filled_ + kLargeBlockMinimum);
      filled_ += kLargeBlockMinimum;
    }
  }

  void append(const T* values, std::size_t count) {
    reserve(size_ + count);
    if (large_) fill_up_to(data_, (size_ + count) * sizeof(T));
    if (count != 0) std::memcpy(static_cast<void*>(data_ + size_), values, count * sizeof(T));
    size_ += count;
  }

  // Runs the new handler once; aborts when there is none.
  static void fail() {
    const std::new_handler handler = std::get_new_handler();
    if (handler == nullptr) std::abort();
    handler();
  }

  T* data_ = nullptr;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
  bool large_ = false;      // data_ is a large block, not realloc()'s
  std::size_t filled_ = 0;  // bytes of the large block faulted in
};

}  // namespace progress

#endif  // PROGRESS_GROWING_ARRAY_H_
