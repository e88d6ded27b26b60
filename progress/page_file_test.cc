#include "progress/page_file.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "tests/support/progress_files.h"

namespace progress {
namespace {

struct HeadCase {
  std::string bytes;
  bool page;
};

TEST(HoldsAPageTest, TakesOnlyAFileWithThePagesFirstAndLastLines) {
  const std::string block = testing_support::BlockFacts{}.text();
  const HeadCase cases[] = {
      {.bytes = "<!DOCTYPE html>\n<html lang=\"en\">\n<p>x</p>\n</html>\n", .page = true},
      {.bytes = "<!DOCTYPE html>\r\n<html>\r\n</html>\r\n", .page = true},
      {.bytes = "<!DOCTYPE html>\n</html>\n", .page = true},
      {.bytes = "", .page = false},  // an empty records.txt left by a failed write
      {.bytes = "<!DOCTYPE html>\n<html>\n</html>\n" + block, .page = false},  // appended to
      {.bytes = "<!DOCTYPE html>\n<html>\n</html>", .page = false},            // cut short
      {.bytes = "<!DOCTYPE html>\n<html>\n<x></html>\n", .page = false},
      {.bytes = "\xEF\xBB\xBF<!DOCTYPE html>\n</html>\n", .page = false},
      {.bytes = "<!doctype html>\n</html>\n", .page = false},
      {.bytes = "<html>\n</html>\n", .page = false},
      {.bytes = block, .page = false},
  };
  for (const HeadCase& c : cases) {
    testing_support::MemoryFiles files;
    files.inputs["page.html"] = c.bytes;
    files.chunk = 5;  // the first and last lines come in several reads
    EXPECT_EQ(holds_a_page("page.html", files), c.page) << c.bytes;
  }
}

TEST(HoldsAPageTest, IsFalseForAFileThatCannotBeOpenedOrRead) {
  testing_support::MemoryFiles files;
  EXPECT_FALSE(holds_a_page("missing.html", files));
  files.inputs["cut.html"] = "";
  files.read_errors["cut.html"] = "Input/output error";
  EXPECT_FALSE(holds_a_page("cut.html", files));
}

TEST(PageRefusalTest, RefusesAFileReadByAnyNameAndAFileThatIsNotAPage) {
  testing_support::MemoryFiles files;
  files.inputs["records.txt"] = "log";
  files.links["link.html"] = "records.txt";
  files.inputs["old.html"] = "<!DOCTYPE html>\n</html>\n";
  files.inputs["mine.html"] = "<!DOCTYPE html>\n</html>\n";
  files.read_only.insert("mine.html");
  const std::vector<std::string> read = {"records.txt"};
  EXPECT_EQ(page_refusal("new.html", read, files), "");
  EXPECT_EQ(page_refusal("old.html", read, files), "");
  EXPECT_EQ(page_refusal("records.txt", read, files),
            "refusing to write the page over records.txt, one of the files read");
  EXPECT_EQ(page_refusal("link.html", read, files),
            "refusing to write the page over records.txt, one of the files read");
  EXPECT_EQ(page_refusal("old.html", {"-", "old.html"}, files),
            "refusing to write the page over old.html, one of the files read");
  EXPECT_EQ(page_refusal("mine.html", read, files),
            "refusing to write the page over mine.html, which may not be written");
}

}  // namespace
}  // namespace progress
