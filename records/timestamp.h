// The timestamp text of records.txt and of the drill's console report: a
// local time laid out as "%.3s %.3s %02d %02d:%02d:%02d %4d" of weekday,
// month, day, hours, minutes, seconds and year, e.g.
// "Tue Dec 08 22:42:40 2026", with the names and the placeholder of
// format.h. Built in a fixed buffer, without the heap. The block writer and
// the drill's report and driver use it.
#ifndef RECORDS_TIMESTAMP_H_
#define RECORDS_TIMESTAMP_H_

#include <optional>
#include <string_view>

#include "text/civil_time.h"
#include "text/text_buffer.h"

namespace records {

// A timestamp text, without a line end. Room for any values of the fields,
// however far out of range.
using Timestamp = text::TextBuffer<80>;

// The timestamp text of a local time. With no time (the clock could not be
// read, or the time has no local breakdown) it is kUnknownTime, of the same
// shape and length. A weekday or month out of range shows as Sun or Jan.
Timestamp timestamp_text(const std::optional<text::CivilTime>& time);

}  // namespace records

#endif  // RECORDS_TIMESTAMP_H_
