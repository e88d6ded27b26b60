#include "progress/log_time.h"

#include "progress/log_numbers.h"

namespace progress {

namespace {

constexpr std::string_view kPlaceholder = "??? ??? ?? ??:??:?? ????";

bool is_digit(char c) { return c >= '0' && c <= '9'; }
int weekday_index(const char* name);
int month_index(const char* name);
bool two_digits(const char* text, int max, std::uint8_t* value);
bool read_time_of_day(const char* text, LogTime* time);
bool parse_year(std::string_view text, std::int64_t* year);
int days_in_month(std::int64_t year, int month);
int weekday_of(std::int64_t year, int month, int day);
std::uint32_t cycle_year(std::int64_t year);
int digit_count(std::uint64_t value);
char* put_digits(char* at, std::uint64_t value, int width);

}  // namespace

bool parse_log_time(std::string_view text, LogTime* time) {
  if (text.size() < kPlaceholder.size()) [[unlikely]] {
    return false;
  }
  const char* t = text.data();
  if (t[0] == '?') [[unlikely]] {
    if (text != kPlaceholder) return false;
    *time = LogTime{};
    return true;
  }
  LogTime parsed;
  const int weekday = weekday_index(t);
  const int month = month_index(t + 4);
  if (t[3] != ' ' || t[7] != ' ' || t[10] != ' ' || t[19] != ' ' || weekday < 0 || month < 0)
      [[unlikely]] {
    return false;
  }
  parsed.weekday = static_cast<std::uint8_t>(weekday);
  parsed.month = static_cast<std::uint8_t>(month + 1);
  if (!two_digits(t + 8, 31, &parsed.day) || !read_time_of_day(t, &parsed)) [[unlikely]] {
    return false;
  }
  // Four digits from 1000 on, as nearly every year is, need no more care.
  const char* y = t + 20;
  if (text.size() == 24 && y[0] >= '1' && y[0] <= '9' && is_digit(y[1]) && is_digit(y[2]) &&
      is_digit(y[3])) [[likely]] {
    parsed.year = (y[0] - '0') * 1000 + (y[1] - '0') * 100 + (y[2] - '0') * 10 + (y[3] - '0');
  } else if (!parse_year(text.substr(20), &parsed.year)) {
    return false;
  }
  // A date seen in `*time` already was checked then; mostly it is the same.
  const bool same_date = time->year == parsed.year && time->month == parsed.month &&
                         time->day == parsed.day && time->weekday == parsed.weekday;
  if (!same_date && (parsed.day < 1 || parsed.day > days_in_month(parsed.year, parsed.month) ||
                     weekday_of(parsed.year, parsed.month, parsed.day) != weekday)) [[unlikely]] {
    return false;
  }
  *time = parsed;
  return true;
}

bool parse_time_of_day(std::string_view text, LogTime* time) {
  if (text.size() < kPlaceholder.size()) return false;
  LogTime parsed = *time;
  if (!read_time_of_day(text.data(), &parsed)) return false;
  *time = parsed;
  return true;
}

TimeText iso_date(const LogTime& time) {
  TimeText text;
  if (!time.known()) return text;
  char* at = text.bytes;
  if (time.year >= 0 && time.year <= 9999) {
    at = put_digits(at, static_cast<std::uint64_t>(time.year), 4);
  } else {
    if (time.year < 0) *at++ = '-';
    // The magnitude of the most negative 64-bit value does not fit, but
    // years of more than 18 digits are never read.
    const std::uint64_t magnitude = time.year < 0 ? static_cast<std::uint64_t>(-time.year)
                                                  : static_cast<std::uint64_t>(time.year);
    at = put_digits(at, magnitude, digit_count(magnitude));
  }
  *at++ = '-';
  at = put_digits(at, time.month, 2);
  *at++ = '-';
  at = put_digits(at, time.day, 2);
  text.size = static_cast<std::uint8_t>(at - text.bytes);
  return text;
}

TimeText iso_date_time(const LogTime& time, char separator) {
  TimeText text = iso_date(time);
  if (!time.known()) return text;
  char* at = text.bytes + text.size;
  *at++ = separator;
  at = put_digits(at, time.hour, 2);
  *at++ = ':';
  at = put_digits(at, time.minute, 2);
  *at++ = ':';
  at = put_digits(at, time.second, 2);
  text.size = static_cast<std::uint8_t>(at - text.bytes);
  return text;
}

namespace {

// The three bytes at `name` as one number, so that a name is compared in
// one step.
constexpr std::uint32_t three(const char* name) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(name[0])) << 16 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(name[1])) << 8 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(name[2]));
}

// The index of the three-letter name at `name` among `names`, or -1.
template <std::size_t N>
int index_among(const char* name, const std::uint32_t (&names)[N]) {
  const std::uint32_t code = three(name);
  for (std::size_t i = 0; i < N; ++i) {
    if (names[i] == code) return static_cast<int>(i);
  }
  return -1;
}

// 0 (Sunday)..6 for the weekday's name at `name`, or -1.
int weekday_index(const char* name) {
  static constexpr std::uint32_t kWeekdays[] = {three("Sun"), three("Mon"), three("Tue"),
                                                three("Wed"), three("Thu"), three("Fri"),
                                                three("Sat")};
  return index_among(name, kWeekdays);
}

// 0 (January)..11 for the month's name at `name`, or -1.
int month_index(const char* name) {
  static constexpr std::uint32_t kMonths[] = {
      three("Jan"), three("Feb"), three("Mar"), three("Apr"), three("May"), three("Jun"),
      three("Jul"), three("Aug"), three("Sep"), three("Oct"), three("Nov"), three("Dec")};
  return index_among(name, kMonths);
}

// Exactly two decimal digits ("%02d" of 0..99) at `text`, at most `max`.
bool two_digits(const char* text, int max, std::uint8_t* value) {
  if (text[0] < '0' || text[0] > '9' || text[1] < '0' || text[1] > '9') return false;
  const int number = (text[0] - '0') * 10 + (text[1] - '0');
  if (number > max) return false;
  *value = static_cast<std::uint8_t>(number);
  return true;
}

// The "hh:mm:ss" of the timestamp text at `text` into `*time`; false when
// it is not a valid time of day (`*time` may then hold part of it).
bool read_time_of_day(const char* text, LogTime* time) {
  return text[13] == ':' && text[16] == ':' && two_digits(text + 11, 23, &time->hour) &&
         two_digits(text + 14, 59, &time->minute) && two_digits(text + 17, 60, &time->second);
}

// "%4d": a "%d" integer right-aligned in four places, so shorter ones have
// leading spaces and longer ones none.
bool parse_year(std::string_view text, std::int64_t* year) {
  std::size_t spaces = 0;
  while (spaces < text.size() && text[spaces] == ' ') ++spaces;
  if (spaces > 0 && text.size() != 4) return false;
  constexpr std::int64_t kLimit = 999'999'999'999'999'999;
  return parse_decimal(text.substr(spaces), -kLimit, kLimit, year);
}

// Leap years by the Gregorian rules.
int days_in_month(std::int64_t year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const std::uint32_t y = cycle_year(year);
  const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

// 0 (Sunday)..6.
int weekday_of(std::int64_t year, int month, int day) {
  std::uint32_t y = cycle_year(year);
  y -= month <= 2 ? 1 : 0;
  const std::uint32_t m = static_cast<std::uint32_t>(month > 2 ? month - 3 : month + 9);
  const std::uint32_t day_of_year = (153 * m + 2) / 5 + static_cast<std::uint32_t>(day) - 1;
  // Days since 0000-03-01, a Wednesday (3).
  const std::uint32_t days = y * 365 + y / 4 - y / 100 + y / 400 + day_of_year;
  return static_cast<int>((days + 3) % 7);
}

// The year of 2000..2399 whose calendar is the same as `year`'s. The
// Gregorian calendar repeats every 400 years, which are 146097 days, a whole
// number of weeks. Logged years are nearly always in that range already.
std::uint32_t cycle_year(std::int64_t year) {
  if (year >= 2000 && year < 2400) return static_cast<std::uint32_t>(year);
  return static_cast<std::uint32_t>(((year % 400) + 400) % 400 + 2000);
}

// The digits of `value`, at least four of them, for a year.
int digit_count(std::uint64_t value) {
  int count = 1;
  while (value >= 10) {
    value /= 10;
    ++count;
  }
  return count < 4 ? 4 : count;
}

// Writes the last `width` decimal digits of `value` at `at`, with leading
// zeros; returns the end.
char* put_digits(char* at, std::uint64_t value, int width) {
  for (int i = width - 1; i >= 0; --i) {
    at[i] = static_cast<char>('0' + value % 10);
    value /= 10;
  }
  return at + width;
}

}  // namespace

}  // namespace progress
