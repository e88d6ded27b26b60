#include "files/input_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace files {
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

// Two names of one file find the same file, and the file opened by either
// is it; another file is another.
TEST_F(InputFileTest, TellsTwoNamesOfOneFileFromTwoFiles) {
  std::FILE* written = std::fopen(path_.c_str(), "wb");
  ASSERT_NE(written, nullptr);
  std::fclose(written);
  const std::string other_path = path_ + ".other";
  written = std::fopen(other_path.c_str(), "wb");
  ASSERT_NE(written, nullptr);
  std::fclose(written);
  const std::string folder = ::testing::TempDir();
  const std::string name = path_.substr(folder.size());
  const std::string other_name = folder + "." + folder.substr(folder.size() - 1) + name;

  const std::optional<FoundFile> file = find_file(path_);
  const std::optional<FoundFile> again = find_file(other_name);
  const std::optional<FoundFile> other = find_file(other_path);
  ASSERT_TRUE(file && again && other);
  EXPECT_TRUE(file->regular);
  EXPECT_EQ(file->identity, again->identity) << other_name;
  EXPECT_NE(file->identity, other->identity);
  const OpenResult opened = InputFile::open(other_name);
  ASSERT_NE(opened.file, nullptr) << opened.reason;
  EXPECT_EQ(opened.file->identity(), file->identity);
  EXPECT_FALSE(find_file(path_ + ".missing"));
  const std::optional<FoundFile> found_folder = find_file(folder);
  ASSERT_TRUE(found_folder);
  EXPECT_FALSE(found_folder->regular);
  std::remove(other_path.c_str());
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
}  // namespace files
