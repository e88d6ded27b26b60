// An array of plain values that grows at its end, as std::vector does, but
// by realloc(). The book uses it for each child's kept tests: --child keeps
// every test of one child, tens of megabytes for a large log. Where the C
// library moves a large block by remapping its pages (glibc does), a grown
// array is neither copied nor touched afresh, so each page is faulted in
// once, where a vector copies every test into new pages at each doubling.
#ifndef PROGRESS_GROWING_ARRAY_H_
#define PROGRESS_GROWING_ARRAY_H_

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>
#include <utility>

#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#endif

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
        capacity_(std::exchange(other.capacity_, 0)) {}
  GrowingArray& operator=(GrowingArray other) noexcept {
    std::swap(data_, other.data_);
    std::swap(size_, other.size_);
    std::swap(capacity_, other.capacity_);
    return *this;
  }
  ~GrowingArray() { std::free(data_); }

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
    void* grown;
    while ((grown = std::realloc(data_, capacity * sizeof(T))) == nullptr) fail();
    data_ = static_cast<T*>(grown);
    capacity_ = capacity;
    ask_for_large_pages();
  }

  // Adds `value` at the end, doubling the room when it is full; `value` may
  // be one of the array's own.
  void push_back(const T& value) {
    const T copy = value;
    if (size_ == capacity_) reserve(capacity_ == 0 ? 4 : 2 * capacity_);
    data_[size_++] = copy;
  }

 private:
  void append(const T* values, std::size_t count) {
    reserve(size_ + count);
    if (count != 0) std::memcpy(static_cast<void*>(data_ + size_), values, count * sizeof(T));
    size_ += count;
  }

  // Asks the kernel to back a large array with 2 MiB pages where it can
  // (Linux's transparent huge pages, when left to the program): the array
  // then costs a page fault every 2 MiB instead of every 4 KiB, and page
  // faults are most of what filling a fresh array costs. The hint covers
  // every page of the array, so that the C library's mapping of a large
  // block stays whole and realloc() can still move it by remapping. Only a
  // hint: nothing changes when it is refused.
  void ask_for_large_pages() {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr std::size_t kLargePage = std::size_t{2} << 20;
    const std::size_t bytes = capacity_ * sizeof(T);
    if (bytes < kLargePage) return;
    const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const auto start = reinterpret_cast<std::uintptr_t>(data_);
    const std::uintptr_t first = start & ~(page - 1);
    const std::uintptr_t last = (start + bytes + page - 1) & ~(page - 1);
    madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#endif
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
};

}  // namespace progress

#endif  // PROGRESS_GROWING_ARRAY_H_
