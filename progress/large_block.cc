#include "progress/large_block.h"

#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace progress {

#if defined(__linux__) && defined(MADV_HUGEPAGE) && defined(MREMAP_FIXED)

namespace {

std::size_t whole_large_pages(std::size_t bytes);
void* map_aligned(std::size_t size);

}  // namespace

void* map_large_block(std::size_t bytes) {
  const std::size_t size = whole_large_pages(bytes);
  if (size == 0) return nullptr;
  void* block = map_aligned(size);
  // Only a hint: the block works all the same where it is refused.
  if (block != nullptr) madvise(block, size, MADV_HUGEPAGE);
  return block;
}

void* grow_large_block(void* block, std::size_t old_bytes, std::size_t bytes) {
  const std::size_t old_size = whole_large_pages(old_bytes);
  const std::size_t size = whole_large_pages(bytes);
  if (size == 0 || size < old_size) return nullptr;
  if (size == old_size) return block;
  // Room for the grown block at a multiple of 2 MiB, into which the block's
  // pages are then moved: its large pages stay large, and the mapping keeps
  // its hint for the pages still to come.
  void* room = map_aligned(size);
  if (room == nullptr) return nullptr;
  void* moved = mremap(block, old_size, size, MREMAP_MAYMOVE | MREMAP_FIXED, room);
  if (moved == MAP_FAILED) {
    munmap(room, size);
    return nullptr;
  }
  return moved;
}

void fill_large_block(void* block, std::size_t from, std::size_t to) {
#if defined(MADV_POPULATE_WRITE)
  madvise(static_cast<char*>(block) + from, to - from, MADV_POPULATE_WRITE);
#else
  (void)block;
  (void)from;
  (void)to;
#endif
}

void unmap_large_block(void* block, std::size_t bytes) { munmap(block, whole_large_pages(bytes)); }

namespace {

// `bytes` rounded up to a whole number of 2 MiB; 0 below kLargeBlockMinimum
// and where rounding up would overflow.
std::size_t whole_large_pages(std::size_t bytes) {
  if (bytes < kLargeBlockMinimum || bytes > SIZE_MAX - kLargeBlockMinimum) return 0;
  return (bytes + kLargeBlockMinimum - 1) & ~(kLargeBlockMinimum - 1);
}

// A fresh mapping of `size` bytes (a whole number of 2 MiB) at a multiple of
// 2 MiB: 2 MiB more are mapped, and what lies before and after the aligned
// part is given back. Null when the memory cannot be had.
void* map_aligned(std::size_t size) {
  if (size > SIZE_MAX - kLargeBlockMinimum) return nullptr;
  const std::size_t mapped = size + kLargeBlockMinimum;
  void* start = mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (start == MAP_FAILED) return nullptr;
  const auto first = reinterpret_cast<std::uintptr_t>(start);
  const std::uintptr_t aligned = (first + kLargeBlockMinimum - 1) & ~(kLargeBlockMinimum - 1);
  if (aligned > first) munmap(start, aligned - first);
  const std::uintptr_t end = aligned + size;
  if (first + mapped > end) munmap(reinterpret_cast<void*>(end), first + mapped - end);
  return reinterpret_cast<void*>(aligned);
}

}  // namespace

#else  // no large pages to ask for: the array grows by realloc() alone

void* map_large_block(std::size_t) { return nullptr; }
void* grow_large_block(void*, std::size_t, std::size_t) { return nullptr; }
void fill_large_block(void*, std::size_t, std::size_t) {}
void unmap_large_block(void*, std::size_t) {}

#endif

}  // namespace progress
