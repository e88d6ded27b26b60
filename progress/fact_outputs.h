// The outputs of --facts, made from a FactBook:
//
// The table (--facts): one row per child and operation, children by name
// and operations in canonical order: the facts asked, how many are fluent,
// learning and missed, how many facts of the grid (below) were never asked,
// and the three most-missed facts as the prompt shows them ("7 x 8").
//
// The CSV (--facts --csv), by RFC 4180 with CR LF as --csv writes:
//   name,operation,first,second,tries,right,median_seconds,status
// one row per fact asked, by name, operation, first and second as numbers;
// median_seconds is the median of the last tries to one decimal ("2.1",
// "3.0"); the name is made safe as --csv makes it (append_csv_name).
//
// The grid (--facts --child NAME), for each operation the child practised:
// - rows and columns run over the numbers the child's tests could draw for
//   it, from OperationFacts::low to its limit, and never past kGridLargest
//   (so at most 21 by 21 cells); an operation whose limit is below low gets
//   no grid, only its list;
// - the cell in row r, column c is the fact of r and c: "r + c", "r x c";
//   for '-' and '/' the row is the answer, so the cell is "(r + c) - c" and
//   "(r * c) / c", as the drill draws them;
// - each cell is one ASCII character, its status's symbol, with one space
//   between cells, so the grid reads without colour: '#' fluent, '+'
//   learning, 'x' missed, '.' never asked; with colour, SGR green, yellow
//   and red go around the symbol (never around '.');
// - the column numbers above the grid, one character each: the tens digit
//   on a first line (only when the grid passes 9), the units digit under
//   it; row numbers right-aligned at the left; under the grid a legend
//   with the count of each state;
// - then the ten most-missed facts with their tries, right answers and
//   median seconds. Facts with a number beyond the grid (or below low) are
//   in the counts and the list, never in the grid.
// Names reach the terminal only as terminal_text.
#ifndef PROGRESS_FACT_OUTPUTS_H_
#define PROGRESS_FACT_OUTPUTS_H_

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "progress/fact_book.h"

namespace progress {

// The largest number a grid shows.
inline constexpr std::int64_t kGridLargest = 20;

// How the terminal outputs are drawn.
struct FactStyle {
  std::uint32_t fluent_milliseconds = kDefaultFluentMilliseconds;
  bool colour = false;  // ANSI SGR colours around the grid's symbols
};

// Appends the --facts table to `out`. Nothing but the header when the book
// is empty.
void append_facts_table(const FactBook& book, const FactStyle& style, std::string* out);

// Appends the --facts --csv header and rows to `out`.
void append_facts_csv(const FactBook& book, std::uint32_t fluent_milliseconds, std::string* out);

// Appends the grids and lists of `child` to `out`.
void append_fact_grids(const ChildFacts& child, const FactStyle& style, std::string* out);

// The fact as its prompt shows it: "7 x 8", "15 - 7".
std::string fact_text(records::Operation operation, const Fact& fact);

// The grid cell of a fact: its row and column numbers (see above).
struct GridPlace {
  std::int64_t row = 0;
  std::int64_t column = 0;
};
GridPlace grid_place(records::Operation operation, const Fact& fact);

// The number of facts of the grid of `facts`: 0 when it has none.
std::int64_t grid_cells(const OperationFacts& facts);

// The largest number of the grid of `facts`: its limit, but never past
// kGridLargest. The grid runs from facts.low to it; none when it is below.
std::int64_t grid_top(const OperationFacts& facts);

// The grid's cells row by row, each the fact asked there or null: side *
// side of them, side = grid_top - low + 1; empty when there is no grid.
std::vector<const Fact*> grid_facts(records::Operation operation, const OperationFacts& facts);

// How many facts of each status there are, and how many cells of the grid
// were never asked.
struct StatusCounts {
  std::array<std::int64_t, 3> by_status{};  // fluent, learning, missed
  std::int64_t never = 0;
};
StatusCounts count_statuses(records::Operation operation, const OperationFacts& facts,
                            std::uint32_t fluent_milliseconds);

// Milliseconds as seconds to one decimal, halves up: 2150 -> "2.2", 3000 ->
// "3.0".
std::string tenths_of_seconds(double milliseconds);

// "addition", "subtraction", "multiplication" or "division".
std::string operation_name(records::Operation operation);

}  // namespace progress

#endif  // PROGRESS_FACT_OUTPUTS_H_
