#include "progress/progress_book.h"

#include <algorithm>

#include "progress/short_compare.h"

namespace progress {

void ProgressBook::add(const LoggedTest& test) {
  ChildProgress* child = &child_named(test.name());
  const KeptTest kept = keep_test(test, child->timeline.place(test.start));
  if (child->tests == 0 || kept.order < child->first.order) child->first = kept;
  child->best_percent = std::max(child->best_percent, test.percent);
  child->recent.add(kept);
  ++child->tests;
}

// The child of that name, new if none is known yet.
ChildProgress& ProgressBook::child_named(std::string_view name) {
  std::size_t mark = name.size();
  if (!name.empty()) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(name[i]); };
    mark = mark * 131 + byte(0) * 7 + byte(name.size() / 2) * 3 + byte(name.size() - 1);
  }
  ChildProgress*& quick = quick_[mark % kQuickSlots];
  if (quick != nullptr && same_bytes(quick->name, name)) return *quick;
  auto found = children_.find(name);
  if (found == children_.end()) {
    found = children_.try_emplace(std::string(name), std::string(name), window_).first;
  }
  quick = &found->second;
  return *quick;
}

std::vector<const ChildProgress*> ProgressBook::children() const {
  std::vector<const ChildProgress*> sorted;
  sorted.reserve(children_.size());
  for (const auto& [name, child] : children_) sorted.push_back(&child);
  std::sort(sorted.begin(), sorted.end(),
            [](const ChildProgress* a, const ChildProgress* b) { return a->name < b->name; });
  return sorted;
}

}  // namespace progress
