#include "progress/html_page.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/transcript.h"

namespace progress {
namespace {

using Block = testing_support::BlockFacts;

std::size_t count(const std::string& text, std::string_view piece) {
  std::size_t n = 0;
  for (std::size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1))
    ++n;
  return n;
}

// The numbers of every `attribute="..."` in `text`.
std::vector<double> values(const std::string& text, const std::string& attribute) {
  std::vector<double> found;
  const std::string head = " " + attribute + "=\"";
  for (std::size_t at = text.find(head); at != std::string::npos; at = text.find(head, at + 1)) {
    found.push_back(std::strtod(text.c_str() + at + head.size(), nullptr));
  }
  return found;
}

class HtmlPageTest : public ::testing::Test {
 protected:
  // A chart of tests on consecutive days from Dec 1, 2026, with these
  // seconds and answers right.
  void add_child(std::string name, const std::vector<std::string>& seconds,
                 const std::vector<int>& rights, std::uint64_t tests = 0) {
    auto& kept = kept_.emplace_back();
    auto test = std::make_unique<LoggedTest>();
    for (std::size_t i = 0; i < seconds.size(); ++i) {
      static const char* const kDays[] = {"Tue", "Wed", "Thu", "Fri", "Sat", "Sun", "Mon"};
      const std::string start = std::string(kDays[i % 7]) + " Dec " + (i + 1 < 10 ? "0" : "") +
                                std::to_string(i + 1) + " 10:00:00 2026";
      const std::string text =
          Block{.name = name, .start = start, .elapsed = seconds[i], .right = rights[i]}.text();
      EXPECT_EQ(read_block(text, test.get()), text.size()) << text;
      kept.push_back(keep_test(*test, TestOrder{}));
    }
    names_.push_back(std::move(name));
    tests_.push_back(tests == 0 ? seconds.size() : tests);
  }

  std::string page() {
    std::vector<ChildChart> charts;
    for (std::size_t i = 0; i < kept_.size(); ++i) {
      charts.push_back({.name = names_[i],
                        .tests = tests_[i],
                        .best_percent = 100,
                        .first_start = kept_[i].front().start,
                        .shown = kept_[i]});
    }
    return html_page(charts);
  }

  std::vector<std::vector<KeptTest>> kept_;
  std::vector<std::string> names_;
  std::vector<std::uint64_t> tests_;
};

TEST_F(HtmlPageTest, DrawsOneChartPerChildWithAMarkPerTest) {
  add_child("Ann", {"60", "49", "44"}, {14, 16, 17});
  add_child("<b>Tom&Jerry</b>", {"40"}, {18});
  const std::string html = page();
  EXPECT_EQ(count(html, "<svg "), 2u);
  EXPECT_EQ(count(html, "<section>"), 2u);
  EXPECT_LT(html.find("<h2>Ann</h2>"), html.find("<h2>&lt;b&gt;Tom&amp;Jerry&lt;/b&gt;</h2>"));
  EXPECT_EQ(html.find("Tom&J"), std::string::npos) << "names are escaped";
  // A circle per test and one in each legend; a hollow square per test and
  // one in each legend.
  EXPECT_EQ(count(html, "<circle "), 4u + 2u);
  EXPECT_EQ(count(html, "<rect fill=\"#ffffff\" stroke-width"), 4u);
  EXPECT_EQ(count(html, "stroke-dasharray"), 2u + 2u);
  EXPECT_NE(html.find("Percent right (left scale)"), std::string::npos);
  EXPECT_NE(html.find("Seconds taken (right scale)"), std::string::npos);
  EXPECT_NE(html.find(">2026-12-01</text>"), std::string::npos);
  EXPECT_NE(html.find("<title>2026-12-02 10:00:00: 80% (B), 49 seconds</title>"),
            std::string::npos);
  EXPECT_EQ(html.find("<script"), std::string::npos);
  EXPECT_EQ(html.find("http://w"), html.find("http://www.w3.org/1999/xhtml"));
}

TEST_F(HtmlPageTest, KeepsEveryMarkInsideThePlot) {
  add_child("Ann", {"-5", "1e+06", "0", "37"}, {0, 20, 10, 5});
  const std::string html = page();
  for (double y : values(html, "cy")) {
    if (y == 22) continue;  // the legend
    EXPECT_GE(y, 56);
    EXPECT_LE(y, 260);
  }
  std::size_t squares = 0;
  for (std::size_t at = html.find("<rect fill=\"#ffffff\" stroke-width"); at != std::string::npos;
       at = html.find("<rect fill=\"#ffffff\" stroke-width", at + 1)) {
    const double y =
        std::strtod(html.c_str() + html.find(" y=\"", at) + 4, nullptr) + 5;  // 10 across
    EXPECT_GE(y, 56);
    EXPECT_LE(y, 260);
    ++squares;
  }
  EXPECT_EQ(squares, 4u);
  EXPECT_NE(html.find(">-500000</text>"), std::string::npos) << "the scale reaches below 0";
}

TEST_F(HtmlPageTest, ThinsOutDatesAndSaysWhenTestsAreLeftOut) {
  std::vector<std::string> seconds(28, "30");
  std::vector<int> rights(28, 15);
  add_child("Ann", seconds, rights, 250);
  const std::string html = page();
  const std::size_t labels = count(html, "\">2026-12-");
  EXPECT_GE(labels, 5u);
  EXPECT_LT(labels, 28u) << "one a day would run into each other";
  EXPECT_NE(html.find("250 tests"), std::string::npos);
  EXPECT_NE(html.find("The chart shows the last 28."), std::string::npos);
}

TEST_F(HtmlPageTest, SaysSoWhenThereAreNoTests) {
  const std::string html = html_page({});
  EXPECT_NE(html.find("No tests were found."), std::string::npos);
  EXPECT_EQ(html.find("<svg"), std::string::npos);
  EXPECT_NE(html.find("</html>"), std::string::npos);
}

}  // namespace
}  // namespace progress
