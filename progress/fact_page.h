// The page's facts (--html when answers were read): after the charts, for
// each child (by name) and each operation the child practised, a heading
// "Zoë: multiplication facts", the grid as an HTML table laid out as the
// terminal's grid (fact_outputs.h: rows and columns from low to the limit,
// at most 20, the row the answer for '-' and '/'), and a legend with the
// count of each state. Each cell is coloured by its state (a class of the
// page's style, append_fact_style) and holds the
// state's symbol ('#', '+', 'x', '.'), so it reads without colour; its
// title, shown when pointed at, gives the fact, its tries, right answers
// and median seconds ("7 x 8: 3 tries, 2 right, median 2.1 s"). Names are
// escaped as the rest of the page (append_page_text), so the page stays
// well-formed XML. html_page puts it in the page.
#ifndef PROGRESS_FACT_PAGE_H_
#define PROGRESS_FACT_PAGE_H_

#include <cstdint>
#include <string>

#include "progress/fact_book.h"

namespace progress {

// The style sheet's rules for the facts' sections: the cells' look and
// each state's colour, for the page's head when it has facts.
std::string fact_page_style();

// The facts' sections of every child of `book`; empty when it has none.
std::string fact_page_sections(const FactBook& book, std::uint32_t fluent_milliseconds);

}  // namespace progress

#endif  // PROGRESS_FACT_PAGE_H_
