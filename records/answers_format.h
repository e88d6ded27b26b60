// The answers.csv format: one line per problem of every finished test, kept
// beside records.txt so that mathdrill-progress can tell which facts a
// child knows. The drill appends a test's lines when the test ends;
// mathdrill-progress reads them back. This header holds the fixed texts
// that both sides share. A file starts with the header line, and every line
// ends in CR LF, as in records.txt:
//
//   started,name,operations,limit,problem,operation,first,second,correct,answer,right,milliseconds
//   2026-12-08T10:00:00,Ann,addition/subtraction,10,1,subtraction,15,7,8,8,1,2140
#ifndef RECORDS_ANSWERS_FORMAT_H_
#define RECORDS_ANSWERS_FORMAT_H_

#include <cstddef>
#include <string_view>

namespace records {

// The first line of every answers file, without its line end. A file whose
// first line (after a byte-order mark) is this text is read as answers.
inline constexpr std::string_view kAnswersHeader =
    "started,name,operations,limit,problem,operation,first,second,correct,answer,right,"
    "milliseconds";

// Every line of answers has this many fields.
inline constexpr std::size_t kAnswerFields = 12;

// The file the drill appends answers to, beside records.txt.
inline constexpr std::string_view kAnswersFileName = "answers.csv";

}  // namespace records

#endif  // RECORDS_ANSWERS_FORMAT_H_
