#include "progress/fact_page.h"

#include <string_view>
#include <vector>

#include "progress/fact_outputs.h"
#include "progress/html_page.h"
#include "progress/output_text.h"

namespace progress {

namespace {

// Per state: the symbol, the class of its cells, their background and the
// legend's word.
struct CellLook {
  char symbol;
  std::string_view css_class;
  std::string_view background;
  std::string_view word;
};
constexpr CellLook kLooks[4] = {{'#', "fluent", "#9be39b", "fluent"},
                                {'+', "learning", "#f5e08a", "learning"},
                                {'x', "missed", "#f19a8e", "missed"},
                                {'.', "never", "#f2f2f2", "never asked"}};
constexpr int kNeverAsked = 3;

void append_section(const ChildFacts& child, records::Operation operation,
                    std::uint32_t fluent_milliseconds, std::string* page);
void append_cell(const Fact* fact, records::Operation operation, std::uint32_t fluent_milliseconds,
                 std::string* page);

}  // namespace

std::string fact_page_style() {
  std::string style =
      "table.facts td { text-align: center; font-family: monospace; min-width: 1.4em;"
      " padding: 0.1em; }\n"
      ".key { font-family: monospace; padding: 0 0.3em; }\n";
  for (const CellLook& look : kLooks) {
    style.append(".").append(look.css_class).append(" { background: ");
    style.append(look.background).append("; }\n");
  }
  return style;
}

std::string fact_page_sections(const FactBook& book, std::uint32_t fluent_milliseconds) {
  std::string page;
  for (const ChildFacts* child : book.children()) {
    for (int kind = 0; kind < records::kOperationKinds; ++kind) {
      const auto operation = static_cast<records::Operation>(kind);
      if (child->practised(operation)) {
        append_section(*child, operation, fluent_milliseconds, &page);
      }
    }
  }
  return page;
}

namespace {

void append_section(const ChildFacts& child, records::Operation operation,
                    std::uint32_t fluent_milliseconds, std::string* page) {
  const OperationFacts& facts = child.operations[static_cast<int>(operation)];
  page->append("<section>\n<h2>");
  append_page_text(child.name, *page);
  page->append(": " + operation_name(operation) + " facts</h2>\n");
  const std::vector<const Fact*> cells = grid_facts(operation, facts);
  if (!cells.empty()) {
    const std::int64_t low = facts.low;
    const std::int64_t top = grid_top(facts);
    page->append("<table class=\"facts\">\n<tr><th></th>");
    for (std::int64_t column = low; column <= top; ++column) {
      page->append("<th>" + integer_text(column) + "</th>");
    }
    page->append("</tr>\n");
    std::size_t cell = 0;
    for (std::int64_t row = low; row <= top; ++row) {
      page->append("<tr><th>" + integer_text(row) + "</th>");
      for (std::int64_t column = low; column <= top; ++column) {
        append_cell(cells[cell++], operation, fluent_milliseconds, page);
      }
      page->append("</tr>\n");
    }
    page->append("</table>\n");
  }
  const StatusCounts counts = count_statuses(operation, facts, fluent_milliseconds);
  page->append("<p>");
  for (int look = 0; look < 4; ++look) {
    const std::int64_t count = look == kNeverAsked ? counts.never : counts.by_status[look];
    if (look > 0) page->append(", ");
    page->append("<span class=\"key ").append(kLooks[look].css_class).append("\">");
    page->push_back(kLooks[look].symbol);
    page->append("</span> " + std::string(kLooks[look].word) + " " + integer_text(count));
  }
  page->append("</p>\n</section>\n");
}

// A cell: the symbol of the fact's state on its colour, with the fact's
// tries as its title; '.' for a fact never asked.
void append_cell(const Fact* fact, records::Operation operation, std::uint32_t fluent_milliseconds,
                 std::string* page) {
  const int look = fact == nullptr
                       ? kNeverAsked
                       : static_cast<int>(fact_status(fact->tries, fluent_milliseconds));
  page->append("<td class=\"").append(kLooks[look].css_class).append("\"");
  if (fact != nullptr) {
    page->append(
        " title=\"" + fact_text(operation, *fact) + ": " + integer_text(fact->tries.tries) +
        (fact->tries.tries == 1 ? " try, " : " tries, ") + integer_text(fact->tries.right) +
        " right, median " + tenths_of_seconds(fact->tries.median_milliseconds()) + " s\"");
  }
  page->push_back('>');
  page->push_back(kLooks[look].symbol);
  page->append("</td>");
}

}  // namespace

}  // namespace progress
