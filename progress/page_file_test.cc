#include "progress/page_file.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "tests/support/progress_files.h"

namespace progress {
namespace {

struct HeadCase {
  std::string_view bytes;
  bool page;
};

TEST(HoldsAPageTest, TakesAnEmptyFileOrOneThatStartsAsHtml) {
  const HeadCase cases[] = {
      {.bytes = "", .page = true},
      {.bytes = "<!DOCTYPE html>\n<html lang=\"en\">", .page = true},
      {.bytes = "\xEF\xBB\xBF \r\n\t<HTML>", .page = true},
      {.bytes = "<!doctype HTML>", .page = true},
      {.bytes = "   ", .page = false},
      {.bytes = "\xEF\xBB\xBF", .page = false},
      {.bytes = "-----------drillo1.exe: from www.velmora-math.com---", .page = false},
      {.bytes = "<!DOCTYPE htm", .page = false},
      {.bytes = "<head>", .page = false},
  };
  for (const HeadCase& c : cases) {
    testing_support::MemoryFiles files;
    files.inputs["page.html"] = std::string(c.bytes);
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
  files.inputs["old.html"] = "<!DOCTYPE html>";
  const std::vector<std::string> read = {"records.txt"};
  EXPECT_EQ(page_refusal("new.html", read, files), "");
  EXPECT_EQ(page_refusal("old.html", read, files), "");
  EXPECT_EQ(page_refusal("records.txt", read, files),
            "refusing to write the page over records.txt, one of the files read");
  EXPECT_EQ(page_refusal("link.html", read, files),
            "refusing to write the page over records.txt, one of the files read");
  EXPECT_EQ(page_refusal("old.html", {"-", "old.html"}, files),
            "refusing to write the page over old.html, one of the files read");
}

}  // namespace
}  // namespace progress
