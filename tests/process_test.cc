#include <gtest/gtest.h>

#include "tests/child_process.h"

namespace {

using testing_support::ChildOptions;
using testing_support::ChildProcess;
using testing_support::Exit;
using testing_support::TempDir;

ChildOptions drill_in(const TempDir& dir, bool pty = false) {
  ChildOptions options;
  options.argv = {DRILL_PATH};
  options.directory = dir.path();
  options.env = {"TZ=UTC"};
  options.pty = pty;
  return options;
}

// Under a terminal each prompt is on the screen before the drill waits.
TEST(Terminal, PromptsAreVisibleBeforeTheDrillWaits) {
  TempDir dir;
  ChildProcess drill(drill_in(dir, /*pty=*/true));
  ASSERT_TRUE(drill.wait_for("What is your name? "));
  drill.send("Ann\n");
  ASSERT_TRUE(drill.wait_for("How big do you want the addends to be? "));
  drill.send("0\n");
  ASSERT_TRUE(drill.wait_for("1.\t 0 "));
  ASSERT_TRUE(drill.wait_for(" 0 = "));
  drill.send("0\n");
  ASSERT_TRUE(drill.wait_for("That is right, Ann!  Now you have 1 out of 1\r\n"));
  drill.close_input();
  Exit exit = drill.wait();
  EXPECT_TRUE(exit.exited);
  EXPECT_EQ(exit.status, 0);
}

}  // namespace
