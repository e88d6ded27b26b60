// Blocks of memory for large arrays, mapped in 2 MiB pages where the system
// can (Linux's transparent huge pages, when left to the program). Filling
// fresh memory costs a page fault a page, and page faults are most of what
// it costs: a block of 2 MiB pages takes one where 4 KiB pages take 512.
// The growing array keeps --child's tests, tens of megabytes for a large
// log, in such a block once it reaches kLargeBlockMinimum bytes.
//
// A block is a whole number of 2 MiB, at an address that is a multiple of
// 2 MiB, so that each of its pages can be a large one; it grows by moving
// its pages to a larger such block, without a copy. On other systems there
// are no such blocks, and the array grows as it would without them.
#ifndef PROGRESS_LARGE_BLOCK_H_
#define PROGRESS_LARGE_BLOCK_H_

#include <cstddef>

namespace progress {

// The size of a large page, and the least a large block holds.
inline constexpr std::size_t kLargeBlockMinimum = std::size_t{2} << 20;

// A block of at least `bytes` bytes (at least kLargeBlockMinimum), zero
// filled. Null when there are no large blocks here, and when the memory
// cannot be had.
void* map_large_block(std::size_t bytes);

// Grows `block`, a large block mapped for `old_bytes`, to hold `bytes`
// (more), keeping its bytes; returns where it now is. Null when the memory
// cannot be had: `block` is then as it was.
void* grow_large_block(void* block, std::size_t old_bytes, std::size_t bytes);

// Faults in bytes `from` to `to` of `block`, multiples of 2 MiB within it,
// in one call rather than a fault a page as they are first written: where
// the system has no 2 MiB page to give, each 4 KiB page would otherwise
// cost a trap. Only a hint: where it is refused, the pages come in as they
// are written.
void fill_large_block(void* block, std::size_t from, std::size_t to);

// Gives back `block`, a large block mapped for `bytes`.
void unmap_large_block(void* block, std::size_t bytes);

}  // namespace progress

#endif  // PROGRESS_LARGE_BLOCK_H_
