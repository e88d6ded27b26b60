// Which file the page may replace. The page is written whole over FILE of
// --html FILE, so a slip on the command line (--html kitchen.txt
// study.txt) must not replace a log: the run asks here first, before
// anything is read. run_progress is its user.
#ifndef PROGRESS_PAGE_FILE_H_
#define PROGRESS_PAGE_FILE_H_

#include <string>
#include <vector>

#include "progress/log_files.h"

namespace progress {

// Why the page must not be written to `page`: it is one of the files read
// (by name, or by identity: a link, another path), or a file that is there
// and is not a page, or a page the user may not write. The text names the
// file made safe ("refusing to write
// the page over records.txt, one of the files read"). Empty when the page
// may be written, which includes a page that does not exist yet.
std::string page_refusal(const std::string& page, const std::vector<std::string>& inputs,
                         Files& files);

// Whether the file `page` is a page this program wrote: it starts with the
// page's first line and ends with its last (html_page.h), with LF or CR LF
// line ends. An empty file is none, nor a page that text was appended to
// (a log written over by mistake). False when it cannot be opened or read.
bool holds_a_page(const std::string& page, Files& files);

}  // namespace progress

#endif  // PROGRESS_PAGE_FILE_H_
