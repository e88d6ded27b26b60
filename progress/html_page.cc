#include "progress/html_page.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string_view>

#include "progress/output_text.h"
#include "records/format.h"
#include "records/operations.h"
#include "text/safe_text.h"
#include "text/utf8.h"

namespace progress {

namespace {

// The chart's size and its plot area, in SVG user units.
constexpr double kWidth = 760;
constexpr double kHeight = 320;
constexpr double kLeft = 70;
constexpr double kRight = 680;
constexpr double kTop = 56;
constexpr double kBottom = 260;
// Both scales have this many equal steps, with a grid line at each.
constexpr int kGridSteps = 4;
// Labels stand this far beside what they label, and their baseline this
// far below it, which centres 13px text on a line.
constexpr double kLabelGap = 8;
constexpr double kLabelDrop = 4;
// The legend: a row above the plot, with a sample of each series (a line
// with its mark in the middle) and its text after it.
constexpr double kLegendY = 22;
constexpr double kLegendLine = 40;
constexpr double kSecondsLegendX = 360;
constexpr double kLegendTextDrop = 5;
// The axis titles: beside the scales, turned along them, and under the
// dates.
constexpr double kLeftTitleX = 18;
constexpr double kRightTitleX = kWidth - 12;
constexpr double kBottomTitleY = kHeight - 10;
// A tick under every mark, and the dates below the ticks; a date closer
// than kLabelSpacing to the one before is left out.
constexpr double kTickLength = 6;
constexpr double kDateDrop = 24;
constexpr double kLabelSpacing = 84;
// Marks take this share of a test's slot across the plot, within these
// sizes.
constexpr double kMarkShare = 0.8;
constexpr double kSmallestMark = 5;
constexpr double kLargestMark = 10;
constexpr double kLineWidth = 2;
constexpr std::string_view kDash = "6 4";

constexpr std::string_view kPercentColour = "#1f5fa8";
constexpr std::string_view kSecondsColour = "#b8481f";
constexpr std::string_view kBackground = "#ffffff";
constexpr std::string_view kAxisColour = "#555555";
constexpr std::string_view kGridColour = "#dddddd";

// The page up to the chart's width, which its style names.
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
    "h2 { font-size: 1.3em; margin-bottom: 0.2em; overflow-wrap: anywhere;"
    " word-break: break-word; }\n"
    "section { margin-bottom: 2.5em; }\n"
    "p { margin: 0.3em 0; }\n"
    "svg { display: block; width: 100%; height: auto; max-width: ";
constexpr std::string_view kStyleTail =
    "px; }\n"
    "svg text { font-family: sans-serif; font-size: 13px; fill: #222; }\n";
constexpr std::string_view kPageIntro =
    "</style>\n"
    "</head>\n"
    "<body>\n"
    "<h1>Arithmetic drill progress</h1>\n"
    "<p>One chart per child, one mark per test, earliest on the left. Circles on the solid"
    " line: percent right (left scale). Squares on the dashed line: seconds taken (right"
    " scale).</p>\n";
constexpr std::string_view kPageTail = "</body>\n</html>\n";
static_assert(kPageHead.starts_with(kPageFirstLine) && kPageHead[kPageFirstLine.size()] == '\n');
static_assert(kPageTail.ends_with("\n") &&
              kPageTail.substr(0, kPageTail.size() - 1).ends_with(kPageLastLine));

// The seconds scale: from `low` to `low + kGridSteps * step`.
struct Scale {
  double low;
  double step;
  double high() const { return low + kGridSteps * step; }
};

// An SVG element written into the page: its name, then attributes in the
// order given, then either its end ("/>") or the end of its start tag.
class Element {
 public:
  Element(std::string* page, std::string_view name);
  Element& number(std::string_view attribute, double value);
  Element& text(std::string_view attribute, std::string_view value);
  // "/>" and a line end.
  void empty();
  // ">", for content to follow.
  void open();

 private:
  std::string& page_;
};

void write_section(const ChildProgress& child, std::span<const KeptTest> shown, std::string* page);
void append_heading(const ChildProgress& child, std::string* page);
void write_chart(const ChildProgress& child, std::span<const KeptTest> tests, std::string* page);
void write_legend(std::string* page);
void write_grid(const Scale& seconds, std::string* page);
void write_dates(std::span<const KeptTest> tests, std::string* page);
void write_series(std::span<const KeptTest> tests, const Scale& seconds, bool percent,
                  std::string* page);
Scale seconds_scale(std::span<const KeptTest> tests);
double nice_step(double at_least);
double x_of(std::size_t index, std::size_t count);
double percent_y(double percent);
double seconds_y(double seconds, const Scale& scale);
std::string date_label(const text::CivilTime& time);
void append_number(double value, std::string* out);
void append_point_title(const KeptTest& test, std::string* page);
void append_xml_text(std::string_view text, std::string* out);
bool allowed(char32_t code_point);

}  // namespace

// Each section is laid out twice, once to measure it, so that the page is
// made in one string of its whole size: grown by doubling, a page of many
// children would for a moment be held twice over.
std::string html_page(std::span<const ChildProgress* const> children, const PageParts& parts) {
  const auto shown = [](const ChildProgress& child) {
    const std::span<const KeptTest> latest = child.latest;
    return latest.last(std::min(kChartTests, latest.size()));
  };
  std::string page(kPageHead);
  append_number(kWidth, &page);
  page.append(kStyleTail);
  page.append(parts.style);
  page.append(kPageIntro);
  if (children.empty()) page.append("<p>No tests were found.</p>\n");
  std::size_t size = page.size() + parts.sections.size() + kPageTail.size();
  std::string section;
  for (const ChildProgress* child : children) {
    section.clear();
    write_section(*child, shown(*child), &section);
    size += section.size();
  }
  page.reserve(size);
  for (const ChildProgress* child : children) write_section(*child, shown(*child), &page);
  page.append(parts.sections);
  page.append(kPageTail);
  return page;
}

namespace {

Element::Element(std::string* page, std::string_view name) : page_(*page) {
  page_.push_back('<');
  page_.append(name);
}

Element& Element::number(std::string_view attribute, double value) {
  page_.push_back(' ');
  page_.append(attribute);
  page_.append("=\"");
  append_number(value, &page_);
  page_.push_back('"');
  return *this;
}

Element& Element::text(std::string_view attribute, std::string_view value) {
  page_.push_back(' ');
  page_.append(attribute);
  page_.append("=\"");
  page_.append(value);
  page_.push_back('"');
  return *this;
}

void Element::empty() { page_.append("/>\n"); }

void Element::open() { page_.push_back('>'); }

// The child's heading, a line of figures, and the chart of `shown`, its
// latest tests.
void write_section(const ChildProgress& child, std::span<const KeptTest> shown, std::string* page) {
  const KeptTest& last = shown.back();
  page->append("<section>\n<h2>");
  append_heading(child, page);
  page->append("</h2>\n<p>");
  append_integer(static_cast<std::int64_t>(child.tests), page);
  page->append(child.tests == 1 ? " test, " : " tests, ");
  page->append(date_label(child.first_start));
  page->append(" to ");
  page->append(date_label(last.start));
  page->append(". Last: ");
  append_integer(last.percent, page);
  page->append("% (");
  page->append(records::letter_grade(last.percent));
  page->append("). Best: ");
  append_integer(child.best_percent, page);
  page->append("%.");
  if (shown.size() < child.tests) {
    page->append(" The chart shows the last ");
    append_integer(static_cast<std::int64_t>(shown.size()), page);
    page->append(".");
  }
  page->append("</p>\n");
  write_chart(child, shown, page);
  page->append("</section>\n");
}

// "Zoë (multiplication/division)": the child's name and its kind of test.
void append_heading(const ChildProgress& child, std::string* page) {
  append_xml_text(child.name, page);
  page->append(" (");
  page->append(records::names(child.operations).view());
  page->push_back(')');
}

void write_chart(const ChildProgress& child, std::span<const KeptTest> tests, std::string* page) {
  const Scale seconds = seconds_scale(tests);
  std::string view_box = "0 0 ";
  append_number(kWidth, &view_box);
  view_box.push_back(' ');
  append_number(kHeight, &view_box);
  Element(page, "svg")
      .text("xmlns", "http://www.w3.org/2000/svg")
      .text("viewBox", view_box)
      .text("role", "img")
      .open();
  page->append("\n<title>Percent right and seconds taken per test: ");
  append_heading(child, page);
  page->append("</title>\n");
  Element(page, "rect")
      .number("x", 0)
      .number("y", 0)
      .number("width", kWidth)
      .number("height", kHeight)
      .text("fill", kBackground)
      .empty();
  write_legend(page);
  write_grid(seconds, page);
  write_dates(tests, page);
  write_series(tests, seconds, false, page);
  write_series(tests, seconds, true, page);
  page->append("</svg>\n");
}

// A sample of each series: its line with its mark in the middle, and its
// text after it.
void write_legend(std::string* page) {
  // The sample line from `x`, solid or dashed, and the text after it.
  const auto sample = [&](double x, std::string_view colour, bool dashed) {
    Element line(page, "line");
    line.number("x1", x)
        .number("y1", kLegendY)
        .number("x2", x + kLegendLine)
        .number("y2", kLegendY)
        .text("stroke", colour)
        .number("stroke-width", kLineWidth);
    if (dashed) line.text("stroke-dasharray", kDash);
    line.empty();
  };
  const auto text = [&](double x, std::string_view words) {
    Element(page, "text")
        .number("x", x + kLegendLine + kLabelGap)
        .number("y", kLegendY + kLegendTextDrop)
        .open();
    page->append(words);
    page->append("</text>\n");
  };
  page->append("<g>\n");
  sample(kLeft, kPercentColour, false);
  Element(page, "circle")
      .number("cx", kLeft + kLegendLine / 2)
      .number("cy", kLegendY)
      .number("r", kLargestMark / 2)
      .text("fill", kPercentColour)
      .empty();
  text(kLeft, "Percent right (left scale)");
  sample(kSecondsLegendX, kSecondsColour, true);
  Element(page, "rect")
      .number("x", kSecondsLegendX + kLegendLine / 2 - kLargestMark / 2)
      .number("y", kLegendY - kLargestMark / 2)
      .number("width", kLargestMark)
      .number("height", kLargestMark)
      .text("fill", kBackground)
      .text("stroke", kSecondsColour)
      .number("stroke-width", kLineWidth)
      .empty();
  text(kSecondsLegendX, "Seconds taken (right scale)");
  page->append("</g>\n");
}

// A grid line at each step shared by both scales, their labels and the
// axis titles.
void write_grid(const Scale& seconds, std::string* page) {
  page->append("<g>\n");
  for (int step = 0; step <= kGridSteps; ++step) {
    const int percent = step * 100 / kGridSteps;
    const double y = percent_y(percent);
    Element(page, "line")
        .number("x1", kLeft)
        .number("x2", kRight)
        .number("y1", y)
        .number("y2", y)
        .text("stroke", step == 0 ? kAxisColour : kGridColour)
        .empty();
    Element(page, "text")
        .number("x", kLeft - kLabelGap)
        .text("text-anchor", "end")
        .number("y", y + kLabelDrop)
        .open();
    append_integer(percent, page);
    page->append("%</text>\n");
    Element(page, "text").number("x", kRight + kLabelGap).number("y", y + kLabelDrop).open();
    page->append(tenths_text(seconds.low + step * seconds.step));
    page->append("</text>\n");
  }
  // An axis title turned by `angle` about its middle.
  const auto title = [&](double x, int angle, std::string_view words) {
    std::string transform = "translate(";
    append_number(x, &transform);
    transform.push_back(' ');
    append_number((kTop + kBottom) / 2, &transform);
    transform.append(") rotate(");
    append_integer(angle, &transform);
    transform.push_back(')');
    Element(page, "text").text("transform", transform).text("text-anchor", "middle").open();
    page->append(words);
    page->append("</text>\n");
  };
  title(kLeftTitleX, -90, "Percent right");
  title(kRightTitleX, 90, "Seconds taken");
  Element(page, "text")
      .number("x", (kLeft + kRight) / 2)
      .number("y", kBottomTitleY)
      .text("text-anchor", "middle")
      .open();
  page->append("Date of test</text>\n</g>\n");
}

// A tick under every mark, and the date under the first test of each day,
// unless it would run into the label before.
void write_dates(std::span<const KeptTest> tests, std::string* page) {
  page->append("<g>\n");
  double last_label = -kLabelSpacing;
  std::string previous;
  for (std::size_t i = 0; i < tests.size(); ++i) {
    const double x = x_of(i, tests.size());
    Element(page, "line")
        .number("y1", kBottom)
        .number("y2", kBottom + kTickLength)
        .text("stroke", kAxisColour)
        .number("x1", x)
        .number("x2", x)
        .empty();
    std::string date = date_label(tests[i].start);
    if ((i == 0 || date != previous) && x - last_label >= kLabelSpacing) {
      Element(page, "text")
          .number("y", kBottom + kDateDrop)
          .text("text-anchor", "middle")
          .number("x", x)
          .open();
      page->append(date);
      page->append("</text>\n");
      last_label = x;
    }
    previous = std::move(date);
  }
  page->append("</g>\n");
}

// The percent series (circles, solid line) or the seconds series (hollow
// squares, dashed line).
void write_series(std::span<const KeptTest> tests, const Scale& seconds, bool percent,
                  std::string* page) {
  const std::string_view colour = percent ? kPercentColour : kSecondsColour;
  auto y_of = [&](const KeptTest& test) {
    return percent ? percent_y(test.percent) : seconds_y(test.seconds, seconds);
  };
  std::string points;
  for (std::size_t i = 0; i < tests.size(); ++i) {
    if (i > 0) points.push_back(' ');
    append_number(x_of(i, tests.size()), &points);
    points.push_back(',');
    append_number(y_of(tests[i]), &points);
  }
  page->append("<g>\n");
  Element line(page, "polyline");
  line.text("fill", "none").number("stroke-width", kLineWidth).text("stroke", colour);
  if (!percent) line.text("stroke-dasharray", kDash);
  line.text("points", points).empty();
  // Marks shrink as tests crowd in.
  const double mark = std::clamp((kRight - kLeft) / static_cast<double>(tests.size()) * kMarkShare,
                                 kSmallestMark, kLargestMark);
  for (std::size_t i = 0; i < tests.size(); ++i) {
    const double x = x_of(i, tests.size());
    const double y = y_of(tests[i]);
    if (percent) {
      Element(page, "circle")
          .text("fill", colour)
          .number("r", mark / 2)
          .number("cx", x)
          .number("cy", y)
          .open();
      append_point_title(tests[i], page);
      page->append("</circle>\n");
    } else {
      Element(page, "rect")
          .text("fill", kBackground)
          .number("stroke-width", kLineWidth)
          .text("stroke", colour)
          .number("width", mark)
          .number("height", mark)
          .number("x", x - mark / 2)
          .number("y", y - mark / 2)
          .open();
      append_point_title(tests[i], page);
      page->append("</rect>\n");
    }
  }
  page->append("</g>\n");
}

// From 0 (or the lowest value, when one is below 0) to at least the highest
// value, in kGridSteps equal round steps.
Scale seconds_scale(std::span<const KeptTest> tests) {
  double lowest = 0;
  double highest = 0;
  for (const KeptTest& test : tests) {
    lowest = std::min(lowest, test.seconds);
    highest = std::max(highest, test.seconds);
  }
  double step = nice_step((highest - lowest) / kGridSteps);
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

std::string date_label(const text::CivilTime& time) {
  std::string label;
  append_iso_date(time, &label);
  return time.known() ? label : "date unknown";
}

// A coordinate with one decimal at most.
void append_number(double value, std::string* out) {
  char digits[64];
  const auto result = std::to_chars(digits, digits + sizeof digits, std::round(value * 10) / 10,
                                    std::chars_format::fixed, 1);
  std::string_view text(digits, static_cast<std::size_t>(result.ptr - digits));
  if (text.ends_with(".0")) text.remove_suffix(2);
  out->append(text);
}

// The tooltip of a mark: "2026-03-02 16:05:00: 90% (A), 41 seconds".
void append_point_title(const KeptTest& test, std::string* page) {
  page->append("<title>");
  if (test.start.known()) {
    append_iso_date_time(test.start, ' ', page);
  } else {
    page->append("date unknown");
  }
  page->append(": ");
  append_integer(test.percent, page);
  page->append("% (");
  page->append(records::letter_grade(test.percent));
  page->append("), ");
  append_xml_text(test.elapsed(), page);
  page->append(" seconds</title>");
}

}  // namespace

void append_page_text(std::string_view text, std::string& out) { append_xml_text(text, &out); }

namespace {

// Appends `text`, escaped as the header says, to `out`.
void append_xml_text(std::string_view text, std::string* out) {
  std::size_t at = 0;
  while (at < text.size()) {
    switch (text[at]) {
      case '&':
        out->append("&amp;");
        ++at;
        continue;
      case '<':
        out->append("&lt;");
        ++at;
        continue;
      case '>':
        out->append("&gt;");
        ++at;
        continue;
      case '"':
        out->append("&quot;");
        ++at;
        continue;
      case '\'':
        out->append("&#39;");
        ++at;
        continue;
      default:
        break;
    }
    const text::Utf8Character character = text::read_utf8(text, at);
    const bool shown = character.valid && allowed(character.code_point);
    out->append(shown ? text.substr(at, character.length) : text::kReplacementCharacter);
    at += character.length;
  }
}

// XML 1.0 characters, less those that no output shows as they are.
bool allowed(char32_t code_point) {
  return !text::hidden_character(code_point) && code_point != 0xFFFE && code_point != 0xFFFF;
}

}  // namespace

}  // namespace progress
