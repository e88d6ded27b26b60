// The timestamp text of records.txt and of the drill's console report: a
// local time laid out as "%.3s %.3s %02d %02d:%02d:%02d %4d" of weekday,
// month, day, hours, minutes, seconds and year, e.g.
// "Tue Dec 08 22:42:40 2026", with the names and the placeholder of
// format.h, written and read back here with one time type, text::CivilTime.
// Written in a fixed buffer, without the heap, by the block writer and the
// drill's report; read by the block reader.
#ifndef RECORDS_TIMESTAMP_H_
#define RECORDS_TIMESTAMP_H_

#include <bit>
#include <cstdint>
#include <cstring>
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

// Writes `time`, read from the timestamp text `text`, as "YYYY-MM-DD",
// `separator`, "HH:MM:SS" at `at` (19 bytes) by copying the text's own
// digits: the year, day and time of day stand in the text as they do there.
// Returns nullptr, writing nothing, when `text` has no such digits: the
// placeholder, a text of another size, or a year of fewer than four
// digits, which the text pads with spaces. For rows of many tests, where
// this is cheaper than writing the numbers of `time`.
[[gnu::always_inline]] inline char* put_iso_date_time_of(std::string_view text,
                                                         const text::CivilTime& time,
                                                         char separator, char* at) {
  // The months' numbers as two digits, "01" for January at 2.
  static constexpr char kMonthDigits[] = "0001020304050607080910111213";
  if (text.size() != 24 || !time.known() || time.month > 12 || time.year < 1000 ||
      time.year > 9999) {
    return nullptr;
  }
  std::memcpy(at, text.data() + 20, 4);
  at[4] = '-';
  std::memcpy(at + 5, kMonthDigits + 2 * time.month, 2);
  at[7] = '-';
  std::memcpy(at + 8, text.data() + 8, 2);
  at[10] = separator;
  std::memcpy(at + 11, text.data() + 11, 8);
  return at + 19;
}

// Reads the timestamps of a log, which holds many of one day: a text of the
// same date as the last one read that gave a known time is read by its time
// of day alone. The block reader keeps one. A text of a four-digit year and
// the last date, by far the most common, is read inline: it is two of every
// block.
class TimestampReader {
 public:
  // The time of `text` in `*time`, as read_timestamp reads it. False, with
  // `*time` as it was, when the text is no timestamp.
  [[gnu::always_inline]] bool read(std::string_view text, text::CivilTime* time) {
    // "Www Mmm dd " (bytes 0-10, as the words at 0 and 3) and " yyyy"
    // (bytes 19-23) as in the last text read.
    const std::string_view last(last_text_, last_size_);
    if (text.size() != kTimestampSize || last.size() != kTimestampSize ||
        word(text, 0) != word(last, 0) || word(text, 3) != word(last, 3) || text[19] != ' ' ||
        quarter(text, 20) != quarter(last, 20)) {
      return read_other(text, time);
    }
    return read_time_of_day(text, last_time_, time);
  }

 private:
  // The size of a timestamp of a four-digit year.
  static constexpr std::size_t kTimestampSize = 24;

  static std::uint64_t word(std::string_view text, std::size_t at) {
    std::uint64_t value;
    std::memcpy(&value, text.data() + at, sizeof value);
    return value;
  }
  static std::uint32_t quarter(std::string_view text, std::size_t at) {
    std::uint32_t value;
    std::memcpy(&value, text.data() + at, sizeof value);
    return value;
  }

  // The time `date` with the time of day of `text` ("hh:mm:ss" from byte
  // 11, each part within its range) in `*time`. False, with `*time` as it
  // was, when those bytes are no time of day.
  [[gnu::always_inline]] static bool read_time_of_day(std::string_view text,
                                                      const text::CivilTime& date,
                                                      text::CivilTime* time) {
    if constexpr (std::endian::native == std::endian::little) {
      // The eight bytes as one word: the digits' bytes become 0-9 and the
      // colons stay, each checked at once; then each pair of digits is
      // joined in place (tens * 10 + ones, in the tens' byte).
      constexpr std::uint64_t kDigitBytes = 0xFFFF00FFFF00FFFF;
      constexpr std::uint64_t kColons = 0x00003A00003A0000;
      const std::uint64_t bytes = word(text, 11);
      const std::uint64_t less = bytes - (0x3030303030303030 & kDigitBytes);
      // A byte below '0' borrows from the bytes after it, but it is itself
      // then 0xD0 or more and the text is refused all the same.
      const std::uint64_t not_digit = ((less | (less + 0x7676767676767676)) & 0x8080808080808080);
      if ((not_digit & kDigitBytes) != 0 || (bytes & ~kDigitBytes) != kColons) return false;
      const std::uint64_t digits = less & kDigitBytes;
      const std::uint64_t pairs = digits * 10 + (digits >> 8);
      const auto hour = static_cast<std::uint8_t>(pairs);
      const auto minute = static_cast<std::uint8_t>(pairs >> 24);
      const auto second = static_cast<std::uint8_t>(pairs >> 48);
      if (hour > 23 || minute > 59 || second > 60) return false;
      *time = date;
      time->hour = hour;
      time->minute = minute;
      time->second = second;
      return true;
    }
    const auto part = [&text](std::size_t at, unsigned max) {
      const unsigned tens = static_cast<unsigned char>(text[at]) - '0';
      const unsigned ones = static_cast<unsigned char>(text[at + 1]) - '0';
      const unsigned value = tens * 10 + ones;
      return tens < 10 && ones < 10 && value <= max ? static_cast<int>(value) : -1;
    };
    const int hour = part(11, 23);
    const int minute = part(14, 59);
    const int second = part(17, 60);
    if (hour < 0 || minute < 0 || second < 0 || text[13] != ':' || text[16] != ':') return false;
    *time = date;
    time->hour = static_cast<std::uint8_t>(hour);
    time->minute = static_cast<std::uint8_t>(minute);
    time->second = static_cast<std::uint8_t>(second);
    return true;
  }

  // Reads a text of another date, or of another size.
  bool read_other(std::string_view text, text::CivilTime* time);

  // The last text that gave a known time, and that time. Every timestamp
  // read_timestamp() takes fits: a year has at most 18 digits.
  char last_text_[48] = {};
  std::size_t last_size_ = 0;
  text::CivilTime last_time_;
};

}  // namespace records

#endif  // RECORDS_TIMESTAMP_H_
