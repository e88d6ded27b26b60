// Every child's progress, gathered from the tests read: for each name (the
// same name in several files is the same child) the number of tests, the
// first test, the best percent and the last few tests in order (test_order.h).
// Memory grows with the number of children, not of tests. run_progress fills
// one for the table and the page.
#ifndef PROGRESS_PROGRESS_BOOK_H_
#define PROGRESS_PROGRESS_BOOK_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "progress/block_format.h"
#include "progress/recent_tests.h"
#include "progress/test_order.h"

namespace progress {

struct ChildProgress {
  explicit ChildProgress(std::string child_name, std::size_t window)
      : name(std::move(child_name)), recent(window) {}

  std::string name;  // the bytes as logged
  std::uint64_t tests = 0;
  KeptTest first;  // the earliest test
  int best_percent = 0;
  ChildTimeline timeline;
  RecentTests recent;  // the latest tests, up to the book's window
};

class ProgressBook {
 public:
  // Keeps the last `window` tests of each child.
  explicit ProgressBook(std::size_t window) : window_(window) {}

  void add(const LoggedTest& test);

  // The children in the byte order of their names.
  std::vector<const ChildProgress*> children() const;

 private:
  // Looks names up without making a string of them.
  struct NameHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view name) const {
      return std::hash<std::string_view>{}(name);
    }
  };

  ChildProgress& child_named(std::string_view name);

  std::size_t window_;
  std::unordered_map<std::string, ChildProgress, NameHash, std::equal_to<>> children_;
  // Children by a quick mark of their names (the length and three bytes):
  // a log holds the tests of a few children taking turns, so most look-ups
  // end here without hashing the whole name.
  static constexpr std::size_t kQuickSlots = 64;
  std::array<ChildProgress*, kQuickSlots> quick_{};
};

}  // namespace progress

#endif  // PROGRESS_PROGRESS_BOOK_H_
