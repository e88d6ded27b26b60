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

  std::unique_ptr<InputFile> file;
  const Status opened = InputFile::open(path_, &file);
  ASSERT_TRUE(opened.ok()) << opened.reason();
  std::string read;
  char buffer[4093];
  while (std::size_t n = file->read(buffer, sizeof buffer)) read.append(buffer, n);
  EXPECT_EQ(read, bytes);
  EXPECT_TRUE(file->read_status().ok());
  EXPECT_EQ(file->read(buffer, sizeof buffer), 0u) << "stays at the end";
}

TEST_F(InputFileTest, GivesTheSystemsReasonWhenAFileCannotBeOpened) {
  std::unique_ptr<InputFile> file;
  const Status opened = InputFile::open(path_ + ".missing", &file);
  EXPECT_FALSE(opened.ok());
  EXPECT_EQ(file, nullptr);
  EXPECT_EQ(opened.reason(), "No such file or directory");
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
  std::unique_ptr<InputFile> opened;
  const Status status = InputFile::open(other_name, &opened);
  ASSERT_TRUE(status.ok()) << status.reason();
  EXPECT_EQ(opened->identity(), file->identity);
  EXPECT_FALSE(find_file(path_ + ".missing"));
  const std::optional<FoundFile> found_folder = find_file(folder);
  ASSERT_TRUE(found_folder);
  EXPECT_FALSE(found_folder->regular);
  std::remove(other_path.c_str());
}

#ifndef _WIN32
TEST_F(InputFileTest, TellsAReadErrorFromTheEnd) {
  // A folder opens for reading on POSIX systems, but cannot be read.
  std::unique_ptr<InputFile> folder;
  const Status opened = InputFile::open(::testing::TempDir(), &folder);
  ASSERT_TRUE(opened.ok()) << opened.reason();
  char buffer[16];
  EXPECT_EQ(folder->read(buffer, sizeof buffer), 0u);
  EXPECT_EQ(folder->read_status().reason(), "Is a directory");
}
#endif

}  // namespace
}  // namespace files
