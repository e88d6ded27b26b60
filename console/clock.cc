#include "console/clock.h"

#include <cstring>

namespace console {

namespace {

constexpr char kUnknownTime[] = "??? ??? ?? ??:??:?? ????\n";

// Appends `value` to `out` in decimal, zero-padded to `width` digits.
char* put_number(char* out, std::int64_t value, int width) {
  char digits[24];
  int n = 0;
  bool negative = value < 0;
  std::uint64_t magnitude =
      negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  do {
    digits[n++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (negative) *out++ = '-';
  for (int i = n; i < width; ++i) *out++ = '0';
  while (n > 0) *out++ = digits[--n];
  return out;
}

}  // namespace

Timestamp timestamp_text(Clock& clock, std::optional<CalendarTime> time) {
  std::optional<CivilTime> civil;
  if (time) civil = clock.local_time(*time);
  if (civil) return format_timestamp(*civil);
  Timestamp text;
  text.size = sizeof kUnknownTime - 1;
  std::memcpy(text.bytes, kUnknownTime, text.size);
  return text;
}

CivilTime civil_from_tm(const std::tm& fields) {
  return CivilTime{static_cast<std::int64_t>(fields.tm_year) + 1900,
                   fields.tm_mon,
                   fields.tm_mday,
                   fields.tm_hour,
                   fields.tm_min,
                   fields.tm_sec,
                   fields.tm_wday};
}

Timestamp format_timestamp(const CivilTime& civil) {
  static constexpr char kDays[] = "SunMonTueWedThuFriSat";
  static constexpr char kMonths[] = "JanFebMarAprMayJunJulAugSepOctNovDec";
  Timestamp text;
  char* out = text.bytes;
  int weekday = civil.weekday >= 0 && civil.weekday < 7 ? civil.weekday : 0;
  int month = civil.month >= 0 && civil.month < 12 ? civil.month : 0;
  std::memcpy(out, kDays + 3 * weekday, 3);
  out += 3;
  *out++ = ' ';
  std::memcpy(out, kMonths + 3 * month, 3);
  out += 3;
  *out++ = ' ';
  out = put_number(out, civil.day, 2);
  *out++ = ' ';
  out = put_number(out, civil.hour, 2);
  *out++ = ':';
  out = put_number(out, civil.minute, 2);
  *out++ = ':';
  out = put_number(out, civil.second, 2);
  *out++ = ' ';
  // "%4d": right-aligned in four positions, padded with spaces.
  char year[24];
  char* year_end = put_number(year, civil.year, 1);
  for (auto width = year_end - year; width < 4; ++width) *out++ = ' ';
  std::memcpy(out, year, static_cast<std::size_t>(year_end - year));
  out += year_end - year;
  *out++ = '\n';
  text.size = static_cast<unsigned char>(out - text.bytes);
  return text;
}

double time_difference(std::optional<CalendarTime> later, std::optional<CalendarTime> earlier) {
  if (!later || !earlier) return 0.0;
  CalendarTime difference;
  if (__builtin_sub_overflow(*later, *earlier, &difference)) {
    return static_cast<double>(*later) - static_cast<double>(*earlier);
  }
  return static_cast<double>(difference);
}

std::optional<CivilTime> utc_time(CalendarTime time) {
  // About a billion years either way keeps every step below in range.
  constexpr CalendarTime kLimit = CalendarTime{1} << 55;
  if (time > kLimit || time < -kLimit) return std::nullopt;
  CalendarTime days = time / 86400;
  CalendarTime seconds = time % 86400;
  if (seconds < 0) {
    seconds += 86400;
    --days;
  }
  CivilTime civil;
  civil.hour = static_cast<int>(seconds / 3600);
  civil.minute = static_cast<int>(seconds / 60 % 60);
  civil.second = static_cast<int>(seconds % 60);
  // 1970-01-01 was a Thursday.
  civil.weekday = static_cast<int>(((days % 7) + 11) % 7);
  // Days to civil date, counting in 400-year eras from 0000-03-01.
  CalendarTime z = days + 719468;
  CalendarTime era = (z >= 0 ? z : z - 146096) / 146097;
  CalendarTime day_of_era = z - era * 146097;
  CalendarTime year_of_era =
      (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
  CalendarTime day_of_year = day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
  CalendarTime month_index = (5 * day_of_year + 2) / 153;  // 0 = March
  civil.day = static_cast<int>(day_of_year - (153 * month_index + 2) / 5 + 1);
  civil.month = static_cast<int>(month_index < 10 ? month_index + 2 : month_index - 10);
  civil.year = year_of_era + era * 400 + (civil.month <= 1 ? 1 : 0);
  return civil;
}

std::optional<CalendarTime> FakeClock::now() {
  if (readings_.empty()) return std::nullopt;
  std::size_t index = next_ < readings_.size() ? next_++ : readings_.size() - 1;
  return readings_[index];
}

}  // namespace console
