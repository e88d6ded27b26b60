#include "progress/child_history.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/support/transcript.h"

namespace progress {
namespace {

using Block = testing_support::BlockFacts;

TEST(ChildHistoryTest, KeepsEveryTestOfOneChildInOrder) {
  ChildHistory history("O'Neil,\"Jo\"");
  const Block blocks[] = {
      {.name = "O'Neil,\"Jo\"", .start = "Wed Dec 09 09:00:00 2026", .right = 1},
      {.name = "Ann", .start = "Mon Dec 07 09:00:00 2026", .right = 2},
      {.name = "O'Neil,\"Jo\"", .start = "Mon Dec 07 09:00:00 2026", .right = 3},
      {.name = "O'Neil", .start = "Sun Dec 06 09:00:00 2026", .right = 4},
      {.name = "O'Neil,\"Jo\"", .start = "??? ??? ?? ??:??:?? ????", .right = 5},
      {.name = "O'Neil,\"Jo\"", .start = "Tue Dec 08 09:00:00 2026", .right = 6},
  };
  auto test = std::make_unique<LoggedTest>();
  for (const Block& block : blocks) {
    const std::string text = block.text();
    ASSERT_EQ(read_block(text, test.get()), text.size());
    history.add(*test);
  }
  std::vector<int> rights;
  for (const KeptTest& kept : history.tests()) rights.push_back(kept.right);
  // The test of unknown time follows the Dec 7 one, read just before it.
  EXPECT_EQ(rights, (std::vector<int>{3, 5, 6, 1}));
}

}  // namespace
}  // namespace progress
