#include "files/output_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace files {
namespace {

// A file of the test's own in the temporary folder, removed afterwards.
class OutputFileTest : public ::testing::Test {
 protected:
  void TearDown() override { std::remove(path_.c_str()); }

  // The bytes the file holds now.
  std::string contents() const {
    std::string bytes;
    if (std::FILE* file = std::fopen(path_.c_str(), "rb")) {
      char buffer[4096];
      while (std::size_t n = std::fread(buffer, 1, sizeof buffer, file)) bytes.append(buffer, n);
      std::fclose(file);
    }
    return bytes;
  }

  std::string path_ = ::testing::TempDir() + "output_file_test_" +
                      ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".txt";
};

TEST_F(OutputFileTest, WritesTheWholeFileAndReplacesWhatWasThere) {
  std::string bytes;
  for (int i = 0; i < 100000; ++i) bytes.push_back(static_cast<char>(i % 256));
  WriteResult result = write_whole_file(path_, bytes);
  ASSERT_TRUE(result.written) << result.reason;
  EXPECT_EQ(contents(), bytes);
  result = write_whole_file(path_, bytes.substr(0, 70000));
  ASSERT_TRUE(result.written) << result.reason;
  EXPECT_EQ(contents(), bytes.substr(0, 70000)) << "replaced, not appended";
}

TEST_F(OutputFileTest, GivesTheSystemsReasonWhenAFileCannotBeWritten) {
  const WriteResult result =
      write_whole_file(::testing::TempDir() + "no/such/folder/page.html", "x");
  EXPECT_FALSE(result.written);
  EXPECT_EQ(result.reason, "No such file or directory");
}

// A target that cannot be replaced (a folder of that name) stays as it
// was, and the new file written beside it is removed again.
TEST_F(OutputFileTest, LeavesWhatWasThereAndNoOtherFileWhenItCannotReplaceIt) {
  const std::filesystem::path folder = ::testing::TempDir() + "output_file_test_folder";
  std::filesystem::remove_all(folder);
  ASSERT_TRUE(std::filesystem::create_directories(folder / "page.html"));
  const WriteResult result = write_whole_file((folder / "page.html").string(), "<p>new</p>");
  EXPECT_FALSE(result.written);
  EXPECT_FALSE(result.reason.empty());
  EXPECT_TRUE(std::filesystem::is_directory(folder / "page.html"));
  std::size_t entries = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++entries;
  EXPECT_EQ(entries, 1u);
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace files
