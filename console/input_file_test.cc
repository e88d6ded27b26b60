#include "console/input_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace console {
namespace {

// A file of the test's own in the temporary folder (tests may run at once in
// several processes), removed afterwards.
class InputFileTest : public ::testing::Test {
 protected:
  void TearDown() override { std::remove(path_.c_str()); }

  std::string path_ = ::testing::TempDir() + "input_file_test_" +
                      ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".txt";
};

TEST_F(InputFileTest, ReadsEveryByteOfAFile) {
  std::string bytes;
  for (int i = 0; i < 100000; ++i) bytes.push_back(static_cast<char>(i % 256));
  std::FILE* written = std::fopen(path_.c_str(), "wb");
  ASSERT_NE(written, nullptr);
  ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), written), bytes.size());
  ASSERT_EQ(std::fclose(written), 0);

  OpenResult opened = InputFile::open(path_);
  ASSERT_NE(opened.file, nullptr) << opened.reason;
  std::string read;
  char buffer[4093];
  while (std::size_t n = opened.file->read(buffer, sizeof buffer)) read.append(buffer, n);
  EXPECT_EQ(read, bytes);
  EXPECT_EQ(opened.file->error(), "");
  EXPECT_EQ(opened.file->read(buffer, sizeof buffer), 0u) << "stays at the end";
}

TEST_F(InputFileTest, GivesTheSystemsReasonWhenAFileCannotBeOpened) {
  const OpenResult opened = InputFile::open(path_ + ".missing");
  EXPECT_EQ(opened.file, nullptr);
  EXPECT_EQ(opened.reason, "No such file or directory");
}

#ifndef _WIN32
TEST_F(InputFileTest, TellsAReadErrorFromTheEnd) {
  // A folder opens for reading on POSIX systems, but cannot be read.
  OpenResult folder = InputFile::open(::testing::TempDir());
  ASSERT_NE(folder.file, nullptr) << folder.reason;
  char buffer[16];
  EXPECT_EQ(folder.file->read(buffer, sizeof buffer), 0u);
  EXPECT_EQ(folder.file->error(), "Is a directory");
}
#endif

}  // namespace
}  // namespace console
