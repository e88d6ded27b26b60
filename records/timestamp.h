// The timestamp text of records.txt and of the drill's console report: a
// local time laid out as "%.3s %.3s %02d %02d:%02d:%02d %4d" of weekday,
// month, day, hours, minutes, seconds and year, e.g.
// "Tue Dec 08 22:42:40 2026", with the names and the placeholder of
// format.h, written and read back here with one time type, text::CivilTime.
// Written in a fixed buffer, without the heap, by the block writer and the
// drill's report; read by the block reader.
#ifndef RECORDS_TIMESTAMP_H_
#define RECORDS_TIMESTAMP_H_

#include <optional>
#include <string>
#include <string_view>

#include "text/civil_time.h"
#include "text/text_buffer.h"

namespace records {

// A timestamp text, without a line end. Room for any values of the fields,
// however far out of range.
using Timestamp = text::TextBuffer<80>;

// The timestamp text of a local time. With no time (the clock could not be
// read, or the time has no local breakdown) it is kUnknownTime, of the same
// shape and length, and so is a time that is not known. A weekday or month
// out of range shows as Sun or Jan.
Timestamp timestamp_text(const std::optional<text::CivilTime>& time);

// The time a timestamp text stands for; for the placeholder, a time that is
// not known (all zero). Nothing for an unknown weekday or month name, a day
// the month does not have, a weekday that does not fall on that date (by the
// Gregorian calendar), hours past 23, minutes past 59, seconds past 60, a
// year not laid out as "%4d" or of more than 18 digits, or any other text.
std::optional<text::CivilTime> read_timestamp(std::string_view text);

// Reads the timestamps of a log, which holds many of one day: a text of the
// same date as the last one read that gave a known time is read by its time
// of day alone. The block reader keeps one.
class TimestampReader {
 public:
  // The time of `text` in `*time`, as read_timestamp reads it. False, with
  // `*time` as it was, when the text is no timestamp.
  bool read(std::string_view text, text::CivilTime* time);

 private:
  std::string last_text_;
  text::CivilTime last_time_;
};

}  // namespace records

#endif  // RECORDS_TIMESTAMP_H_
