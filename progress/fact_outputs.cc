#include "progress/fact_outputs.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

#include "progress/column_layout.h"
#include "progress/csv_rows.h"
#include "progress/output_text.h"
#include "records/operations.h"
#include "text/safe_text.h"

namespace progress {

namespace {

constexpr std::size_t kTableMissed = 3;
constexpr std::size_t kListMissed = 10;
constexpr std::string_view kSigns[records::kOperationKinds] = {"+", "-", "x", "/"};
constexpr std::string_view kOperationNames[records::kOperationKinds] = {
    "addition", "subtraction", "multiplication", "division"};

constexpr std::size_t kTableColumns = 8;
using FactsLayout = ColumnLayout<kTableColumns>;
const FactsLayout::Row kTableHeader = {"Name",     "Operation", "Asked", "Fluent",
                                       "Learning", "Missed",    "Never", "Most missed"};

bool in_grid(records::Operation operation, const OperationFacts& facts, const Fact& fact);
void append_grid(records::Operation operation, const OperationFacts& facts, const FactStyle& style,
                 std::string* out);
void append_missed_list(records::Operation operation, const OperationFacts& facts,
                        std::uint32_t fluent_milliseconds, std::string* out);
int operation_index(records::Operation operation) { return static_cast<int>(operation); }

}  // namespace

void append_facts_table(const FactBook& book, const FactStyle& style, std::string* out) {
  FactsLayout layout({Align::left, Align::left, Align::right, Align::right, Align::right,
                      Align::right, Align::right, Align::left});
  std::vector<FactsLayout::Row> rows = {kTableHeader};
  for (const ChildFacts* child : book.children()) {
    for (int kind = 0; kind < records::kOperationKinds; ++kind) {
      const auto operation = static_cast<records::Operation>(kind);
      if (!child->practised(operation)) continue;
      const OperationFacts& facts = child->operations[kind];
      const StatusCounts counts = count_statuses(operation, facts, style.fluent_milliseconds);
      std::string missed;
      for (const Fact* fact : most_missed(facts, kTableMissed, style.fluent_milliseconds)) {
        if (!missed.empty()) missed.append(", ");
        missed.append(fact_text(operation, *fact));
      }
      rows.push_back({text::terminal_text(child->name), std::string(kOperationNames[kind]),
                      integer_text(static_cast<std::int64_t>(facts.facts.size())),
                      integer_text(counts.by_status[0]), integer_text(counts.by_status[1]),
                      integer_text(counts.by_status[2]), integer_text(counts.never), missed});
    }
  }
  for (const FactsLayout::Row& row : rows) layout.measure(row);
  for (const FactsLayout::Row& row : rows) layout.write(row, out);
}

void append_facts_csv(const FactBook& book, std::uint32_t fluent_milliseconds, std::string* out) {
  out->append("name,operation,first,second,tries,right,median_seconds,status\r\n");
  for (const ChildFacts* child : book.children()) {
    for (int kind = 0; kind < records::kOperationKinds; ++kind) {
      std::vector<const Fact*> facts;
      for (const Fact& fact : child->operations[kind].facts) facts.push_back(&fact);
      std::sort(facts.begin(), facts.end(), [](const Fact* a, const Fact* b) {
        return a->first != b->first ? a->first < b->first : a->second < b->second;
      });
      for (const Fact* fact : facts) {
        append_csv_name(child->name, out);
        out->push_back(',');
        out->append(kOperationNames[kind]);
        for (const std::int64_t number :
             {fact->first, fact->second, static_cast<std::int64_t>(fact->tries.tries),
              static_cast<std::int64_t>(fact->tries.right)}) {
          out->push_back(',');
          append_integer(number, out);
        }
        out->push_back(',');
        out->append(tenths_of_seconds(fact->tries.median_milliseconds()));
        out->push_back(',');
        out->append(status_name(fact_status(fact->tries, fluent_milliseconds)));
        out->append("\r\n");
      }
    }
  }
}

void append_fact_grids(const ChildFacts& child, const FactStyle& style, std::string* out) {
  for (int kind = 0; kind < records::kOperationKinds; ++kind) {
    const auto operation = static_cast<records::Operation>(kind);
    if (!child.practised(operation)) continue;
    const OperationFacts& facts = child.operations[kind];
    if (!out->empty()) out->push_back('\n');
    text::append_terminal_text(child.name, out);
    out->append(": ");
    out->append(kOperationNames[kind]);
    out->append("\n\n");
    append_grid(operation, facts, style, out);
    const StatusCounts counts = count_statuses(operation, facts, style.fluent_milliseconds);
    out->append("# fluent " + integer_text(counts.by_status[0]) + "  + learning " +
                integer_text(counts.by_status[1]) + "  x missed " +
                integer_text(counts.by_status[2]) + "  . never asked " +
                integer_text(counts.never) + "\n");
    append_missed_list(operation, facts, style.fluent_milliseconds, out);
  }
}

std::string fact_text(records::Operation operation, const Fact& fact) {
  return integer_text(fact.first) + " " + std::string(kSigns[operation_index(operation)]) + " " +
         integer_text(fact.second);
}

GridPlace grid_place(records::Operation operation, const Fact& fact) {
  switch (operation) {
    case records::Operation::subtraction:
      return {.row = fact.first - fact.second, .column = fact.second};
    case records::Operation::division:
      return {.row = fact.second == 0 ? -1 : fact.first / fact.second, .column = fact.second};
    case records::Operation::addition:
    case records::Operation::multiplication:
      break;
  }
  return {.row = fact.first, .column = fact.second};
}

std::int64_t grid_cells(const OperationFacts& facts) {
  const std::int64_t side = grid_top(facts) - facts.low + 1;
  return side > 0 ? side * side : 0;
}

std::vector<const Fact*> grid_facts(records::Operation operation, const OperationFacts& facts) {
  const std::int64_t low = facts.low;
  const std::int64_t top = grid_top(facts);
  if (top < low) return {};
  const std::size_t side = static_cast<std::size_t>(top - low + 1);
  std::vector<const Fact*> cells(side * side, nullptr);
  for (const Fact& fact : facts.facts) {
    if (!in_grid(operation, facts, fact)) continue;
    const GridPlace place = grid_place(operation, fact);
    cells[static_cast<std::size_t>(place.row - low) * side +
          static_cast<std::size_t>(place.column - low)] = &fact;
  }
  return cells;
}

StatusCounts count_statuses(records::Operation operation, const OperationFacts& facts,
                            std::uint32_t fluent_milliseconds) {
  StatusCounts counts;
  std::int64_t in_cells = 0;
  for (const Fact& fact : facts.facts) {
    ++counts.by_status[static_cast<int>(fact_status(fact.tries, fluent_milliseconds))];
    if (in_grid(operation, facts, fact)) ++in_cells;
  }
  counts.never = grid_cells(facts) - in_cells;
  return counts;
}

std::int64_t grid_top(const OperationFacts& facts) {
  return std::min<std::int64_t>(facts.limit, kGridLargest);
}

std::string tenths_of_seconds(double milliseconds) {
  const auto tenths = static_cast<std::int64_t>((milliseconds + 50) / 100);
  return integer_text(tenths / 10) + "." + integer_text(tenths % 10);
}

std::string operation_name(records::Operation operation) {
  return std::string(kOperationNames[operation_index(operation)]);
}

namespace {

// Whether a fact has a cell in the grid of `facts`.
bool in_grid(records::Operation operation, const OperationFacts& facts, const Fact& fact) {
  const GridPlace place = grid_place(operation, fact);
  const std::int64_t top = grid_top(facts);
  return place.row >= facts.low && place.row <= top && place.column >= facts.low &&
         place.column <= top;
}

const char* const kColours[3] = {"\x1b[32m", "\x1b[33m", "\x1b[31m"};
constexpr char kSymbols[3] = {'#', '+', 'x'};

void append_grid(records::Operation operation, const OperationFacts& facts, const FactStyle& style,
                 std::string* out) {
  const std::int64_t low = facts.low;
  const std::int64_t top = grid_top(facts);
  if (top < low) return;
  const std::size_t side = static_cast<std::size_t>(top - low + 1);
  const std::vector<const Fact*> facts_in_cells = grid_facts(operation, facts);
  std::vector<int> cells(side * side, -1);  // a status, or -1 for never asked
  for (std::size_t cell = 0; cell < cells.size(); ++cell) {
    if (facts_in_cells[cell] != nullptr) {
      cells[cell] =
          static_cast<int>(fact_status(facts_in_cells[cell]->tries, style.fluent_milliseconds));
    }
  }
  // Each column is one symbol wide: its number's tens digit stands on a
  // first header line (when the grid passes 9), its units digit under it.
  const std::size_t label = integer_text(top).size();
  for (const bool tens : {true, false}) {
    if (tens && top < 10) continue;
    out->append(label, ' ');
    for (std::int64_t column = low; column <= top; ++column) {
      out->push_back(' ');
      out->push_back(tens ? (column < 10 ? ' ' : static_cast<char>('0' + column / 10))
                          : static_cast<char>('0' + column % 10));
    }
    const std::size_t last = out->find_last_not_of(' ');
    out->resize(last + 1);
    out->push_back('\n');
  }
  for (std::int64_t row = low; row <= top; ++row) {
    const std::string number = integer_text(row);
    out->append(label - number.size(), ' ');
    out->append(number);
    for (std::size_t column = 0; column < side; ++column) {
      out->push_back(' ');
      const int status = cells[static_cast<std::size_t>(row - low) * side + column];
      if (status < 0) {
        out->push_back('.');
      } else if (style.colour) {
        out->append(kColours[status]);
        out->push_back(kSymbols[status]);
        out->append("\x1b[0m");
      } else {
        out->push_back(kSymbols[status]);
      }
    }
    out->push_back('\n');
  }
}

void append_missed_list(records::Operation operation, const OperationFacts& facts,
                        std::uint32_t fluent_milliseconds, std::string* out) {
  const std::vector<const Fact*> missed = most_missed(facts, kListMissed, fluent_milliseconds);
  if (missed.empty()) return;
  ColumnLayout<4> layout({Align::left, Align::right, Align::right, Align::right});
  std::vector<ColumnLayout<4>::Row> rows = {{"Most missed", "Tries", "Right", "Median s"}};
  for (const Fact* fact : missed) {
    rows.push_back({fact_text(operation, *fact), integer_text(fact->tries.tries),
                    integer_text(fact->tries.right),
                    tenths_of_seconds(fact->tries.median_milliseconds())});
  }
  out->push_back('\n');
  for (const auto& row : rows) layout.measure(row);
  for (const auto& row : rows) layout.write(row, out);
}

}  // namespace

}  // namespace progress
