// Reading answers.csv back (answers_format.h): one Answer per line, for
// mathdrill-progress's facts. Like BlockReader, the file comes in pieces of
// any size; the reader splits them into lines and hands out each sound line
// as an Answer whose texts are views into the piece (or into the reader's
// own room for a line cut between pieces or a name with quotes), so nothing
// is allocated per line. Lines may end in CR LF or LF alone, a UTF-8
// byte-order mark before the first line is passed over, and a header line
// is passed over wherever it stands (two files joined into one).
//
// A line is sound when it has exactly kAnswerFields fields, each valid:
// the start "YYYY-MM-DDTHH:MM:SS", a name of at most kMaxNameLength bytes
// without whitespace, operations named and joined by '/' in canonical
// order, a whole-number limit, a problem 1 to kProblemCount, an operation
// among the test's, whole numbers for first, second, correct and answer
// (every number written as the drill writes it: no '+', no leading zero),
// with correct the result of first and second, right "1" exactly when the
// answer is correct, else "0", and a count of milliseconds. Every other
// line is skipped and counted by line numbers in records::ReadCounts, as
// BlockReader counts damaged blocks, for the message about the file; its
// `tests` counts the answers handed out.
//
// Each answer carries the fingerprint of its test: a hash of the start,
// name, operations and limit as logged, the same in every copy of the test,
// so that a test read from two files can be counted once.
#ifndef RECORDS_ANSWERS_READER_H_
#define RECORDS_ANSWERS_READER_H_

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "records/answers_format.h"
#include "records/block_reader.h"
#include "records/operations.h"

namespace records {

// One line of answers.csv.
struct Answer {
  std::string_view started;  // "YYYY-MM-DDTHH:MM:SS" as logged
  // Orders answers by start: the start's fields packed, larger when later.
  std::int64_t started_key = 0;
  std::string_view name;  // as records.txt logs it: quotes and the leading '\'' taken away
  Operations operations = Operations::mixed_addition_subtraction();
  std::int32_t limit = 0;
  std::int32_t problem = 0;  // 1..kProblemCount
  Operation operation = Operation::addition;
  std::int64_t first = 0;  // the two numbers the prompt shows
  std::int64_t second = 0;
  std::int64_t correct = 0;
  std::int64_t answer = 0;
  bool right = false;
  std::uint32_t milliseconds = 0;
  std::uint64_t line = 0;         // counted from 1
  std::uint64_t fingerprint = 0;  // of the test: see above
};

// Whether `line` (without its line end, after any byte-order mark) is the
// answers header.
bool is_answers_header(std::string_view line);

// Reads the answers of one file. Give it the file piece by piece with
// add(), taking the answers with next() after each piece, and call finish()
// at the end of the file.
class AnswersReader {
 public:
  AnswersReader() = default;
  // Not copied: it points into its own heads.
  AnswersReader(const AnswersReader&) = delete;
  AnswersReader& operator=(const AnswersReader&) = delete;

  // Takes the next piece of the file. The bytes must stay valid until
  // next() has returned null.
  void add(std::string_view bytes);

  // The next sound answer in the pieces given so far, or null when they are
  // used up. The answer and its texts stay valid until the next call.
  const Answer* next();

  // Ends the file: a last line without a line end, a write cut short, is
  // skipped.
  // Returns the counts, now complete.
  const ReadCounts& finish();

 private:
  std::size_t take_whole_known_line();
  bool take_next_line();
  bool take_line(std::string_view line);
  bool read_any(std::string_view line);
  void keep_partial(std::string_view part);

  std::string_view rest_;            // the bytes of the piece not read yet
  const char* last_stop_ = nullptr;  // the piece's last byte that is no digit (add())
  std::string partial_;              // the start of a line that goes on in a later piece
  std::string line_;                 // a whole line put together from pieces
  std::string name_;                 // a name with its doubled quotes made single
  // The texts of the fields that name a test (start, name, operations,
  // limit), with the text they were read from, and what was read of them:
  // a test's lines all repeat them, so they are read once a test, into
  // answer_, and stay there for its lines. The heads of the last few tests
  // are kept: children take turns, and a child's next test differs from
  // its last in its start alone.
  struct TestHead {
    std::string text;  // the line up to the comma after the limit
    std::string started;
    std::string name;
    Operations operations = Operations::mixed_addition_subtraction();
    std::int32_t limit = 0;
    std::uint64_t rest_hash = 0;  // the fingerprint's hash of all but the start
  };
  static constexpr std::size_t kHeadsKept = 8;
  bool read_known_test(std::string_view line);
  TestHead* earlier_head_of(std::string_view line);
  static bool same_but_start(const TestHead& kept, std::string_view text);
  bool read_head(std::string_view text, const std::array<std::string_view, kAnswerFields>& fields);
  std::array<TestHead, kHeadsKept> heads_;
  TestHead* head_ = &heads_[0];  // of the last sound line
  std::size_t next_head_ = 0;    // the one a new test's head replaces
  Answer answer_;
  LineRange open_range_;
  ReadCounts counts_;
};

}  // namespace records

#endif  // RECORDS_ANSWERS_READER_H_
