#include "progress/html_page.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/progress_files.h"
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

// The numbers of `attribute="..."` in every piece of `text` that starts
// with `head`, in order.
std::vector<double> values(const std::string& text, std::string_view head,
                           const std::string& attribute) {
  std::vector<double> found;
  const std::string name = " " + attribute + "=\"";
  for (std::size_t at = text.find(head); at != std::string::npos; at = text.find(head, at + 1)) {
    const std::size_t end = text.find('>', at);
    const std::size_t value = text.find(name, at);
    if (value < end) found.push_back(std::strtod(text.c_str() + value + name.size(), nullptr));
  }
  return found;
}

// The marks of the series: circles for the percent, hollow squares for the
// seconds (the legend's have other heads).
constexpr std::string_view kCircle = "<circle fill=";
constexpr std::string_view kSquare = "<rect fill=\"#ffffff\" stroke-width";

class HtmlPageTest : public ::testing::Test {
 protected:
  // Tests of `name` on consecutive days from Dec 1, 2026, with these
  // seconds and answers right.
  void add_child(const std::string& name, const std::vector<std::string>& seconds,
                 const std::vector<int>& rights) {
    constexpr std::int64_t kDecember1 = 1796119200;  // 2026-12-01 10:00:00 UTC
    constexpr std::int64_t kDay = 24 * 60 * 60;
    for (std::size_t i = 0; i < seconds.size(); ++i) {
      const std::string start =
          testing_support::utc_timestamp(kDecember1 + static_cast<std::int64_t>(i) * kDay);
      const std::optional<records::LoggedTest> test = testing_support::read_test(
          Block{.name = name, .start = start, .elapsed = seconds[i], .right = rights[i]});
      ASSERT_TRUE(test) << start;
      book_.add(*test);
    }
  }

  std::string page() { return html_page(book_.finish()); }

  ProgressBook book_{Keep{.tests = kChartTests}};
};

TEST_F(HtmlPageTest, DrawsOneChartPerChildWithAMarkPerTest) {
  add_child("Ann", {"60", "49", "44"}, {14, 16, 17});
  add_child("<b>Tom&Jerry</b>", {"40"}, {18});
  const std::string html = page();
  EXPECT_EQ(count(html, "<svg "), 2u);
  EXPECT_EQ(count(html, "<section>"), 2u);
  EXPECT_LT(html.find("<h2>&lt;b&gt;Tom&amp;Jerry&lt;/b&gt; (addition/subtraction)</h2>"),
            html.find("<h2>Ann (addition/subtraction)</h2>"))
      << "children in the byte order of their names";
  EXPECT_EQ(html.find("Tom&J"), std::string::npos) << "names are escaped";
  // A circle per test and one in each legend; a hollow square per test and
  // one in each legend.
  EXPECT_EQ(count(html, "<circle "), 4u + 2u);
  EXPECT_EQ(count(html, kSquare), 4u);
  EXPECT_EQ(count(html, "stroke-dasharray"), 2u + 2u);
  EXPECT_NE(html.find("Percent right (left scale)"), std::string::npos);
  EXPECT_NE(html.find("Seconds taken (right scale)"), std::string::npos);
  EXPECT_NE(html.find(">2026-12-01</text>"), std::string::npos);
  EXPECT_NE(html.find("<title>2026-12-02 10:00:00: 80% (B), 49 seconds</title>"),
            std::string::npos);
  EXPECT_EQ(html.find("<script"), std::string::npos);
  EXPECT_EQ(html.find("http://w"), html.find("http://www.w3.org/1999/xhtml"));
}

TEST_F(HtmlPageTest, DrawsAHigherFigureHigherAndALaterTestFurtherRight) {
  add_child("Ann", {"40", "90", "10", "60"}, {10, 20, 0, 15});
  const std::string html = page();
  const std::vector<double> x = values(html, kCircle, "cx");
  const std::vector<double> percent_y = values(html, kCircle, "cy");
  const std::vector<double> seconds_y = values(html, kSquare, "y");
  ASSERT_EQ(x.size(), 4u);
  ASSERT_EQ(percent_y.size(), 4u);
  ASSERT_EQ(seconds_y.size(), 4u);
  EXPECT_LT(x[0], x[1]);
  EXPECT_LT(x[1], x[2]);
  EXPECT_LT(x[2], x[3]);
  // SVG's y grows downwards: 100% (the 2nd) highest, then 75%, 50%, 0%.
  EXPECT_LT(percent_y[1], percent_y[3]);
  EXPECT_LT(percent_y[3], percent_y[0]);
  EXPECT_LT(percent_y[0], percent_y[2]);
  // 90 seconds highest, then 60, 40, 10.
  EXPECT_LT(seconds_y[1], seconds_y[3]);
  EXPECT_LT(seconds_y[3], seconds_y[0]);
  EXPECT_LT(seconds_y[0], seconds_y[2]);
}

TEST_F(HtmlPageTest, KeepsEveryMarkInsideThePlot) {
  add_child("Ann", {"-5", "1e+06", "0", "37"}, {0, 20, 10, 5});
  const std::string html = page();
  // The grid lines after the legend, from the 0% axis to the 100% line.
  const std::string grid = html.substr(html.find("</g>"));
  const double top = values(grid, "<line x1=", "y1").back();
  const double bottom = values(grid, "<line x1=", "y1").front();
  ASSERT_LT(top, bottom);
  for (double y : values(html, kCircle, "cy")) {
    EXPECT_GE(y, top);
    EXPECT_LE(y, bottom);
  }
  const std::vector<double> sizes = values(html, kSquare, "height");
  const std::vector<double> corners = values(html, kSquare, "y");
  ASSERT_EQ(corners.size(), 4u);
  for (std::size_t i = 0; i < corners.size(); ++i) {
    EXPECT_GE(corners[i] + sizes[i] / 2, top);
    EXPECT_LE(corners[i] + sizes[i] / 2, bottom);
  }
  EXPECT_NE(html.find(">-500000</text>"), std::string::npos) << "the scale reaches below 0";
}

TEST_F(HtmlPageTest, ThinsOutDatesAndChartsTheLastHundredTests) {
  std::vector<std::string> seconds(130, "30");
  std::vector<int> rights(130, 15);
  rights.back() = 20;
  add_child("Ann", seconds, rights);
  const std::string html = page();
  EXPECT_EQ(count(html, std::string(kCircle)), kChartTests);
  const std::size_t labels = count(html, "\" text-anchor=\"middle\" x=\"");
  EXPECT_GE(labels, 5u);
  EXPECT_LT(labels, 28u) << "one a day would run into each other";
  EXPECT_NE(html.find("130 tests"), std::string::npos);
  EXPECT_NE(html.find("Last: 100% (A+)"), std::string::npos);
  EXPECT_NE(html.find("The chart shows the last 100."), std::string::npos);
}

TEST_F(HtmlPageTest, SaysSoWhenThereAreNoTests) {
  const std::string html = page();
  EXPECT_NE(html.find("No tests were found."), std::string::npos);
  EXPECT_EQ(html.find("<svg"), std::string::npos);
  EXPECT_NE(html.find("</html>"), std::string::npos);
}

struct XmlCase {
  std::string_view name;
  std::string_view shown;
};

TEST_F(HtmlPageTest, EscapesMarkupAndReplacesWhatXmlCannotHold) {
  const XmlCase cases[] = {
      {.name = "Ann", .shown = "Ann"},
      {.name = "<b>Tom&Jerry</b>", .shown = "&lt;b&gt;Tom&amp;Jerry&lt;/b&gt;"},
      {.name = "O'Neil,\"Jo\"", .shown = "O&#39;Neil,&quot;Jo&quot;"},
      {.name = "Zoë▅𝄞", .shown = "Zoë▅𝄞"},
      {.name = "\xff\xfe"
               "Bad",
       .shown = "\uFFFD\uFFFDBad"},
      {.name = "Red\x1b[31m", .shown = "Red\uFFFD[31m"},
      {.name = "\xc3", .shown = "\uFFFD"},                                // cut sequence
      {.name = "\xc0\xaf", .shown = "\uFFFD\uFFFD"},                      // overlong '/'
      {.name = "\xed\xa0\x80", .shown = "\uFFFD\uFFFD\uFFFD"},            // a surrogate
      {.name = "\xf4\x90\x80\x80", .shown = "\uFFFD\uFFFD\uFFFD\uFFFD"},  // past U+10FFFF
      {.name = "\xef\xbf\xbe", .shown = "\uFFFD"},                        // U+FFFE
      {.name = "\xc2\x85", .shown = "\uFFFD"},                            // a C1 control
      {.name = "\x9bX", .shown = "\uFFFDX"},                              // a raw C1 control
      {.name = "\xe2\x82x", .shown = "\uFFFDx"},          // a cut sequence: one replacement
      {.name = "\xe2\x80\xaeZed", .shown = "\uFFFDZed"},  // right-to-left override
      {.name = "a\xe2\x81\xa9", .shown = "a\uFFFD"},      // pop directional isolate
      {.name = "\xe2\x80\x8f", .shown = "\xe2\x80\x8f"},  // a right-to-left mark stays
  };
  for (const XmlCase& c : cases) {
    book_ = ProgressBook(Keep{.tests = kChartTests});
    add_child(std::string(c.name), {"30"}, {20});
    const std::string html = page();
    const std::string heading = std::string(c.shown) + " (addition/subtraction)";
    EXPECT_NE(html.find("<h2>" + heading + "</h2>"), std::string::npos) << c.name;
    EXPECT_NE(html.find("per test: " + heading + "</title>"), std::string::npos) << c.name;
  }
}

TEST_F(HtmlPageTest, BreaksANameTooLongForThePageAnywhere) {
  const std::string name(255, 'W');
  add_child(name, {"30"}, {20});
  const std::string html = page();
  ASSERT_NE(html.find("<h2>" + name + " (addition/subtraction)</h2>"), std::string::npos);
  // The style rule of the headings lets them break within a word.
  const std::size_t rule = html.find("\nh2 {");
  ASSERT_NE(rule, std::string::npos);
  const std::string declarations = html.substr(rule, html.find('}', rule) - rule);
  EXPECT_NE(declarations.find("overflow-wrap: anywhere;"), std::string::npos) << declarations;
}

}  // namespace
}  // namespace progress
