#include "console/file_source.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace console {
namespace {

// A file of the test's own in the temporary folder (tests may run at once in
// several processes), removed afterwards.
class FileSourceTest : public ::testing::Test {
 protected:
  void TearDown() override { std::remove(path_.c_str()); }

  std::string path_ = ::testing::TempDir() + "file_source_test_" +
                      ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".txt";
};

TEST_F(FileSourceTest, WritesAWholeFileAndReadsItBack) {
  std::string bytes;
  for (int i = 0; i < 100000; ++i) bytes.push_back(static_cast<char>(i % 256));
  std::string reason;
  ASSERT_TRUE(write_whole_file(path_, bytes, &reason)) << reason;
  ASSERT_TRUE(write_whole_file(path_, bytes.substr(0, 70000), &reason)) << "replaced, not appended";

  std::unique_ptr<FileSource> file = FileSource::open(path_, &reason);
  ASSERT_NE(file, nullptr) << reason;
  std::string read;
  char buffer[4093];
  while (std::size_t n = file->read(buffer, sizeof buffer)) read.append(buffer, n);
  EXPECT_EQ(read, bytes.substr(0, 70000));
  EXPECT_EQ(file->error(), "");
  EXPECT_EQ(file->read(buffer, sizeof buffer), 0u) << "stays at the end";
}

TEST_F(FileSourceTest, GivesTheSystemsReasonWhenAFileCannotBeOpened) {
  std::string reason;
  EXPECT_EQ(FileSource::open(path_ + ".missing", &reason), nullptr);
  EXPECT_EQ(reason, "No such file or directory");
  reason.clear();
  EXPECT_FALSE(write_whole_file(::testing::TempDir() + "no/such/folder/page.html", "x", &reason));
  EXPECT_EQ(reason, "No such file or directory");
}

#ifndef _WIN32
TEST_F(FileSourceTest, TellsAReadErrorFromTheEnd) {
  // A folder opens for reading on POSIX systems, but cannot be read.
  std::string reason;
  std::unique_ptr<FileSource> folder = FileSource::open(::testing::TempDir(), &reason);
  ASSERT_NE(folder, nullptr) << reason;
  char buffer[16];
  EXPECT_EQ(folder->read(buffer, sizeof buffer), 0u);
  EXPECT_EQ(folder->error(), "Is a directory");
}
#endif

struct LocaleCase {
  const char* lc_all;
  const char* lc_ctype;
  const char* lang;
  bool utf8;
};

TEST(Utf8LocaleTest, TakesTheFirstVariableThatIsSet) {
  const LocaleCase cases[] = {
      {.lc_all = nullptr, .lc_ctype = nullptr, .lang = "en_GB.UTF-8", .utf8 = true},
      {.lc_all = nullptr, .lc_ctype = nullptr, .lang = "C.utf8", .utf8 = true},
      {.lc_all = nullptr, .lc_ctype = nullptr, .lang = "de_DE.Utf-8@euro", .utf8 = true},
      {.lc_all = nullptr, .lc_ctype = nullptr, .lang = "C", .utf8 = false},
      {.lc_all = nullptr, .lc_ctype = nullptr, .lang = "en_US.ISO-8859-1", .utf8 = false},
      {.lc_all = nullptr, .lc_ctype = nullptr, .lang = "utf", .utf8 = false},
      {.lc_all = nullptr, .lc_ctype = nullptr, .lang = nullptr, .utf8 = false},
      {.lc_all = "C", .lc_ctype = "en_GB.UTF-8", .lang = "en_GB.UTF-8", .utf8 = false},
      {.lc_all = "", .lc_ctype = "POSIX", .lang = "en_GB.UTF-8", .utf8 = false},
      {.lc_all = "", .lc_ctype = "", .lang = "en_GB.UTF-8", .utf8 = true},
      {.lc_all = "en_GB.UTF-8", .lc_ctype = "C", .lang = nullptr, .utf8 = true},
  };
  for (const LocaleCase& c : cases) {
    EXPECT_EQ(utf8_locale(c.lc_all, c.lc_ctype, c.lang), c.utf8)
        << (c.lc_all ? c.lc_all : "-") << " " << (c.lc_ctype ? c.lc_ctype : "-") << " "
        << (c.lang ? c.lang : "-");
  }
}

}  // namespace
}  // namespace console
