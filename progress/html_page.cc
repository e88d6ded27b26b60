#include "progress/html_page.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "progress/block_format.h"
#include "progress/log_time.h"
#include "progress/number_text.h"
#include "progress/xml_text.h"

namespace progress {

namespace {

constexpr std::string_view kPageHead =
    "<!DOCTYPE html>\n"
    "<html xmlns=\"http://www.w3.org/1999/xhtml\" lang=\"en\">\n"
    "<head>\n"
    "<meta charset=\"utf-8\"/>\n"
    "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\"/>\n"
    "<title>Arithmetic drill progress</title>\n"
    "<style>\n"
    "body { font-family: sans-serif; margin: 2em auto; max-width: 52em; padding: 0 1em;"
    " color: #222; background: #fff; }\n"
    "h1 { font-size: 1.6em; }\n"
    "h2 { font-size: 1.3em; margin-bottom: 0.2em; }\n"
    "section { margin-bottom: 2.5em; }\n"
    "p { margin: 0.3em 0; }\n"
    "svg { display: block; width: 100%; height: auto; max-width: 760px; }\n"
    "svg text { font-family: sans-serif; font-size: 13px; fill: #222; }\n"
    "</style>\n"
    "</head>\n"
    "<body>\n"
    "<h1>Arithmetic drill progress</h1>\n"
    "<p>One chart per child, one mark per test, earliest on the left. Circles on the solid"
    " line: percent right (left scale). Squares on the dashed line: seconds taken (right"
    " scale).</p>\n";

constexpr std::string_view kPageTail = "</body>\n</html>\n";

// The chart's size and its plot area, in SVG user units.
constexpr double kWidth = 760;
constexpr double kHeight = 320;
constexpr double kLeft = 70;
constexpr double kRight = 680;
constexpr double kTop = 56;
constexpr double kBottom = 260;
// Date labels closer than this to the one before are left out.
constexpr double kLabelSpacing = 84;

constexpr std::string_view kPercentColour = "#1f5fa8";
constexpr std::string_view kSecondsColour = "#b8481f";

// The seconds scale: from `low` to `low + 4 * step`, four equal steps.
struct Scale {
  double low;
  double step;
  double high() const { return low + 4 * step; }
};

void write_section(const ChildChart& child, std::string& page);
void write_chart(const ChildChart& child, std::string& page);
void write_legend(std::string& page);
void write_grid(const Scale& seconds, std::string& page);
void write_dates(std::span<const KeptTest> tests, std::string& page);
void write_series(std::span<const KeptTest> tests, const Scale& seconds, bool percent,
                  std::string& page);
Scale seconds_scale(std::span<const KeptTest> tests);
double nice_step(double at_least);
double x_of(std::size_t index, std::size_t count);
double percent_y(double percent);
double seconds_y(double seconds, const Scale& scale);
std::string date_label(const LogTime& time);
void append_number(double value, std::string& out);
void append_point_title(const KeptTest& test, std::string& page);

}  // namespace

std::string html_page(std::span<const ChildChart> children) {
  std::string page(kPageHead);
  if (children.empty()) page.append("<p>No tests were found.</p>\n");
  for (const ChildChart& child : children) write_section(child, page);
  page.append(kPageTail);
  return page;
}

namespace {

void write_section(const ChildChart& child, std::string& page) {
  const KeptTest& last = child.shown.back();
  page.append("<section>\n<h2>");
  append_xml_text(child.name, &page);
  page.append("</h2>\n<p>");
  append_integer(static_cast<std::int64_t>(child.tests), &page);
  page.append(child.tests == 1 ? " test, " : " tests, ");
  page.append(date_label(child.first_start));
  page.append(" to ");
  page.append(date_label(last.start));
  page.append(". Last: ");
  append_integer(last.percent, &page);
  page.append("% (");
  page.append(letter_grade(last.percent));
  page.append("). Best: ");
  append_integer(child.best_percent, &page);
  page.append("%.");
  if (child.shown.size() < child.tests) {
    page.append(" The chart shows the last ");
    append_integer(static_cast<std::int64_t>(child.shown.size()), &page);
    page.append(".");
  }
  page.append("</p>\n");
  write_chart(child, page);
  page.append("</section>\n");
}

void write_chart(const ChildChart& child, std::string& page) {
  const Scale seconds = seconds_scale(child.shown);
  page.append("<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 ");
  append_number(kWidth, page);
  page.push_back(' ');
  append_number(kHeight, page);
  page.append("\" role=\"img\">\n<title>Percent right and seconds taken per test: ");
  append_xml_text(child.name, &page);
  page.append("</title>\n");
  page.append("<rect x=\"0\" y=\"0\" width=\"760\" height=\"320\" fill=\"#ffffff\"/>\n");
  write_legend(page);
  write_grid(seconds, page);
  write_dates(child.shown, page);
  write_series(child.shown, seconds, false, page);
  write_series(child.shown, seconds, true, page);
  page.append("</svg>\n");
}

void write_legend(std::string& page) {
  page.append(
      "<g>\n"
      "<line x1=\"70\" y1=\"22\" x2=\"110\" y2=\"22\" stroke=\"#1f5fa8\" stroke-width=\"2\"/>\n"
      "<circle cx=\"90\" cy=\"22\" r=\"5\" fill=\"#1f5fa8\"/>\n"
      "<text x=\"118\" y=\"27\">Percent right (left scale)</text>\n"
      "<line x1=\"360\" y1=\"22\" x2=\"400\" y2=\"22\" stroke=\"#b8481f\" stroke-width=\"2\""
      " stroke-dasharray=\"6 4\"/>\n"
      "<rect x=\"375\" y=\"17\" width=\"10\" height=\"10\" fill=\"#ffffff\" stroke=\"#b8481f\""
      " stroke-width=\"2\"/>\n"
      "<text x=\"408\" y=\"27\">Seconds taken (right scale)</text>\n"
      "</g>\n");
}

// Five grid lines shared by both scales, their labels and the axis titles.
void write_grid(const Scale& seconds, std::string& page) {
  page.append("<g>\n");
  for (int step = 0; step <= 4; ++step) {
    const double y = percent_y(step * 25.0);
    page.append("<line x1=\"70\" x2=\"680\" y1=\"");
    append_number(y, page);
    page.append("\" y2=\"");
    append_number(y, page);
    page.append(step == 0 ? "\" stroke=\"#555555\"/>\n" : "\" stroke=\"#dddddd\"/>\n");
    page.append("<text x=\"62\" text-anchor=\"end\" y=\"");
    append_number(y + 4, page);
    page.append("\">");
    append_integer(step * 25, &page);
    page.append("%</text>\n<text x=\"688\" y=\"");
    append_number(y + 4, page);
    page.append("\">");
    page.append(tenths_text(seconds.low + step * seconds.step));
    page.append("</text>\n");
  }
  page.append(
      "<text transform=\"translate(18 158) rotate(-90)\" text-anchor=\"middle\">Percent "
      "right</text>\n"
      "<text transform=\"translate(748 158) rotate(90)\" text-anchor=\"middle\">Seconds "
      "taken</text>\n"
      "<text x=\"375\" y=\"310\" text-anchor=\"middle\">Date of test</text>\n"
      "</g>\n");
}

// A tick under every mark, and the date under the first test of each day,
// unless it would run into the label before.
void write_dates(std::span<const KeptTest> tests, std::string& page) {
  page.append("<g>\n");
  double last_label = -kLabelSpacing;
  std::string previous;
  for (std::size_t i = 0; i < tests.size(); ++i) {
    const double x = x_of(i, tests.size());
    page.append("<line y1=\"260\" y2=\"266\" stroke=\"#555555\" x1=\"");
    append_number(x, page);
    page.append("\" x2=\"");
    append_number(x, page);
    page.append("\"/>\n");
    std::string date = date_label(tests[i].start);
    if ((i == 0 || date != previous) && x - last_label >= kLabelSpacing) {
      page.append("<text y=\"284\" text-anchor=\"middle\" x=\"");
      append_number(x, page);
      page.append("\">");
      page.append(date);
      page.append("</text>\n");
      last_label = x;
    }
    previous = std::move(date);
  }
  page.append("</g>\n");
}

// The percent series (circles, solid line) or the seconds series (hollow
// squares, dashed line).
void write_series(std::span<const KeptTest> tests, const Scale& seconds, bool percent,
                  std::string& page) {
  const std::string_view colour = percent ? kPercentColour : kSecondsColour;
  auto y_of = [&](const KeptTest& test) {
    return percent ? percent_y(test.percent) : seconds_y(test.seconds, seconds);
  };
  page.append("<g>\n<polyline fill=\"none\" stroke-width=\"2\" stroke=\"");
  page.append(colour);
  page.append(percent ? "\"" : "\" stroke-dasharray=\"6 4\"");
  page.append(" points=\"");
  for (std::size_t i = 0; i < tests.size(); ++i) {
    if (i > 0) page.push_back(' ');
    append_number(x_of(i, tests.size()), page);
    page.push_back(',');
    append_number(y_of(tests[i]), page);
  }
  page.append("\"/>\n");
  // Marks shrink as tests crowd in, from 10 units across down to 5.
  const double mark =
      std::clamp((kRight - kLeft) / static_cast<double>(tests.size()) * 0.8, 5.0, 10.0);
  for (std::size_t i = 0; i < tests.size(); ++i) {
    const double x = x_of(i, tests.size());
    const double y = y_of(tests[i]);
    if (percent) {
      page.append("<circle fill=\"");
      page.append(colour);
      page.append("\" r=\"");
      append_number(mark / 2, page);
      page.append("\" cx=\"");
      append_number(x, page);
      page.append("\" cy=\"");
      append_number(y, page);
      page.append("\">");
      append_point_title(tests[i], page);
      page.append("</circle>\n");
    } else {
      page.append("<rect fill=\"#ffffff\" stroke-width=\"2\" stroke=\"");
      page.append(colour);
      page.append("\" width=\"");
      append_number(mark, page);
      page.append("\" height=\"");
      append_number(mark, page);
      page.append("\" x=\"");
      append_number(x - mark / 2, page);
      page.append("\" y=\"");
      append_number(y - mark / 2, page);
      page.append("\">");
      append_point_title(tests[i], page);
      page.append("</rect>\n");
    }
  }
  page.append("</g>\n");
}

// From 0 (or the lowest value, when one is below 0) to at least the highest
// value, in four equal round steps.
Scale seconds_scale(std::span<const KeptTest> tests) {
  double lowest = 0;
  double highest = 0;
  for (const KeptTest& test : tests) {
    lowest = std::min(lowest, test.seconds);
    highest = std::max(highest, test.seconds);
  }
  double step = nice_step((highest - lowest) / 4);
  Scale scale{std::floor(lowest / step) * step, step};
  // Starting below the lowest value can leave the highest above the scale;
  // the next round step then covers it.
  while (scale.high() < highest) {
    step = nice_step(step * 1.01);
    scale = {std::floor(lowest / step) * step, step};
  }
  return scale;
}

// The smallest of 1, 2 and 5 times a power of ten that is at least
// `at_least`; 1 when that is not above 0.
double nice_step(double at_least) {
  if (!(at_least > 0)) return 1;
  if (!std::isfinite(at_least)) return at_least;
  double power = std::pow(10.0, std::floor(std::log10(at_least)));
  for (;;) {
    for (double factor : {1.0, 2.0, 5.0}) {
      if (factor * power >= at_least) return factor * power;
    }
    power *= 10;
  }
}

// The middle of the index-th of `count` equal slots across the plot.
double x_of(std::size_t index, std::size_t count) {
  return kLeft + (kRight - kLeft) * (static_cast<double>(index) + 0.5) / static_cast<double>(count);
}

double percent_y(double percent) { return kBottom - (kBottom - kTop) * percent / 100; }

double seconds_y(double seconds, const Scale& scale) {
  return kBottom - (kBottom - kTop) * (seconds - scale.low) / (scale.high() - scale.low);
}

std::string date_label(const LogTime& time) {
  return time.known() ? std::string(iso_date(time).view()) : "date unknown";
}

// A coordinate with one decimal at most.
void append_number(double value, std::string& out) {
  char digits[64];
  const auto result = std::to_chars(digits, digits + sizeof digits, std::round(value * 10) / 10,
                                    std::chars_format::fixed, 1);
  std::string_view text(digits, static_cast<std::size_t>(result.ptr - digits));
  if (text.ends_with(".0")) text.remove_suffix(2);
  out.append(text);
}

// The tooltip of a mark: "2026-03-02 16:05:00: 90% (A), 41 seconds".
void append_point_title(const KeptTest& test, std::string& page) {
  page.append("<title>");
  page.append(test.start.known() ? iso_date_time(test.start, ' ').view() : "date unknown");
  page.append(": ");
  append_integer(test.percent, &page);
  page.append("% (");
  page.append(letter_grade(test.percent));
  page.append("), ");
  append_xml_text(test.elapsed_text(), &page);
  page.append(" seconds</title>");
}

}  // namespace

}  // namespace progress
