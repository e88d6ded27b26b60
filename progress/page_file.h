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
// and is not a page. The text names the file made safe ("refusing to write
// the page over records.txt, one of the files read"). Empty when the page
// may be written, which includes a page that does not exist yet.
std::string page_refusal(const std::string& page, const std::vector<std::string>& inputs,
                         Files& files);

// Whether the file `page` is empty or begins as an HTML page does (after a
// byte-order mark and white space, "<!DOCTYPE html" or "<html" in any
// case). False when it cannot be opened or read.
bool holds_a_page(const std::string& page, Files& files);

}  // namespace progress

#endif  // PROGRESS_PAGE_FILE_H_
