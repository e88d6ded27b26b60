// The --csv output: every test as one row of comma-separated values, in
// the order read, under a header row:
//
//   started,ended,name,addend_limit,right,out_of,percent,grade,seconds,score,operations
//
// by RFC 4180: every row ends in CR LF; a field that holds a comma, a
// double quote, CR or LF is put in double quotes, with its quotes doubled.
// Times are "YYYY-MM-DDTHH:MM:SS" as logged (local time: the log names no
// zone), empty where the log has the placeholder; seconds are as logged
// ("95", "1e+06"); the operations are their names joined by '/'
// ("addition/subtraction", "multiplication"), never their signs, which a
// spreadsheet would take for a formula. A row is written as its test is
// read, so memory stays the same however many tests there are.
//
// Names are made safe for the spreadsheet that opens the file and for the
// terminal it may be printed on: a name that starts with '=', '+', '-',
// '@', tab or CR, which a spreadsheet would take for a formula even in
// quotes, gets a leading '\'' so that it is read as text; control
// characters and bidi overrides show as '?', and bytes that are not UTF-8
// as U+FFFD (text::terminal_text), so the file is UTF-8 throughout, as a
// spreadsheet expects. The numbers are written as they are.
//
// A log names a few children over and over, so the rows remember the safe
// fields of the names met last and copy them, instead of making each name
// safe again for every row.
#ifndef PROGRESS_CSV_ROWS_H_
#define PROGRESS_CSV_ROWS_H_

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "progress/output_text.h"
#include "records/block_reader.h"
#include "records/format.h"
#include "records/operations.h"

namespace progress {

// Appends the header row to `out`.
void append_csv_header(std::string* out);

// Appends `name` to `out` as a field made safe as above: guarded against a
// formula, shown safe, and quoted when it needs quotes. The facts' CSV
// shares it.
void append_csv_name(std::string_view name, std::string* out);

// Writes the rows of --csv, one test at a time. The rows are put together
// in the writer's own room, in place, and appended to the output a large
// piece at a time, where appending each row would cost a copy and a call.
class CsvRows {
 public:
  // Appends the row of `test` to `out`: at once, or with the rows after it,
  // at the latest when flush() is called. Returns whether the rows waiting
  // were appended to `out` now.
  bool append_row(const records::LoggedTest& test, std::string* out);

  // Appends the rows still waiting to `out`.
  void flush(std::string* out);

 private:
  // A name met lately and its field, made safe; a short field is kept in
  // `bytes` too, whose whole array a row copies, a fixed size that compiles
  // to a few moves.
  struct KnownName {
    static constexpr std::size_t kShort = 32;
    std::string name;
    std::string field;
    char bytes[kShort] = {};
  };
  static constexpr std::size_t kKnownNames = 8;

  const KnownName& known_name(std::string_view name);
  const KnownName& look_up(std::string_view name);
  char* flush_up_to(char* end, std::string* out);

  // The longest name field a row holds in place: a name as long as the
  // drill writes, shown safe and quoted, fits unless many of its bytes
  // become U+FFFD or doubled quotes.
  static constexpr std::size_t kNameRoom = 2 * records::kMaxNameLength;
  // The longest grade text a row holds.
  static constexpr std::size_t kGradeRoom = 8;
  // The most bytes a row takes in the room: its times, name field and
  // numbers as long as they may be, grade, elapsed time and operations.
  static constexpr std::size_t kRowRoom = 2 * kIsoDateTimeRoom + kNameRoom + 5 * kIntegerRoom +
                                          kGradeRoom + records::kMaxElapsedLength +
                                          sizeof(records::OperationsText::bytes) + 16;
  // The rows waiting, from the start of `waiting_` up to `waiting_size_`:
  // room for kWaitingRoom bytes and the longest row more.
  static constexpr std::size_t kWaitingRoom = 2 * 1024;
  std::size_t waiting_size_ = 0;
  char waiting_[kWaitingRoom + kRowRoom];

  // The operations of the last row and their names: the tests of a log are
  // mostly of one kind.
  records::Operations last_operations_ = records::Operations::mixed_addition_subtraction();
  const records::OperationsText* last_names_ = &records::names(last_operations_);

  std::array<KnownName, kKnownNames> known_{};
  std::size_t known_count_ = 0;
  std::size_t last_found_ = 0;  // where the name of the last row was
  std::size_t next_replaced_ = 0;
};

}  // namespace progress

#endif  // PROGRESS_CSV_ROWS_H_
