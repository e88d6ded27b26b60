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

}  // namespace console
