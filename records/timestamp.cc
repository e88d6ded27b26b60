#include "records/timestamp.h"

#include <cstdint>
#include <cstring>

#include "records/format.h"
#include "records/number_field.h"
#include "text/number_format.h"

namespace records {

namespace {

std::string_view name_of(std::string_view names, int index, int count);
void put_number(Timestamp& text, std::int64_t value, std::size_t width, char fill);
bool same_date(std::string_view text, std::string_view other);
std::optional<int> name_index(std::string_view names, std::string_view name);
std::optional<int> two_digits(std::string_view text, int max);
std::optional<std::int64_t> parse_year(std::string_view text);
int days_in_month(std::int64_t year, int month);
int weekday_of(std::int64_t year, int month, int day);

}  // namespace

Timestamp timestamp_text(const std::optional<text::CivilTime>& time) {
  Timestamp text;
  if (!time || !time->known()) return text << kUnknownTime;
  text << name_of(kDayNames, time->weekday, 7) << " " << name_of(kMonthNames, time->month - 1, 12)
       << " ";
  put_number(text, time->day, 2, '0');
  text << " ";
  put_number(text, time->hour, 2, '0');
  text << ":";
  put_number(text, time->minute, 2, '0');
  text << ":";
  put_number(text, time->second, 2, '0');
  text << " ";
  put_number(text, time->year, 4, ' ');
  return text;
}

std::optional<text::CivilTime> read_timestamp(std::string_view text) {
  if (text == kUnknownTime) return text::CivilTime{};
  if (text.size() < kUnknownTime.size() || text[3] != ' ' || text[7] != ' ' || text[10] != ' ' ||
      text[13] != ':' || text[16] != ':' || text[19] != ' ') {
    return std::nullopt;
  }
  // The text is long enough for every field.
  const char* const at = text.data();
  const std::optional<int> weekday = name_index(kDayNames, std::string_view(at, 3));
  const std::optional<int> month = name_index(kMonthNames, std::string_view(at + 4, 3));
  const std::optional<int> day = two_digits(std::string_view(at + 8, 2), 31);
  const std::optional<int> hour = two_digits(std::string_view(at + 11, 2), 23);
  const std::optional<int> minute = two_digits(std::string_view(at + 14, 2), 59);
  const std::optional<int> second = two_digits(std::string_view(at + 17, 2), 60);
  const std::optional<std::int64_t> year = parse_year(std::string_view(at + 20, text.size() - 20));
  if (!weekday || !month || !day || !hour || !minute || !second || !year || *day < 1 ||
      *day > days_in_month(*year, *month + 1) || weekday_of(*year, *month + 1, *day) != *weekday) {
    return std::nullopt;
  }
  return text::CivilTime{.year = *year,
                         .month = static_cast<std::uint8_t>(*month + 1),
                         .day = static_cast<std::uint8_t>(*day),
                         .hour = static_cast<std::uint8_t>(*hour),
                         .minute = static_cast<std::uint8_t>(*minute),
                         .second = static_cast<std::uint8_t>(*second),
                         .weekday = static_cast<std::uint8_t>(*weekday)};
}

bool TimestampReader::read_other(std::string_view text, text::CivilTime* time) {
  static_assert(kTimestampSize == kUnknownTime.size());
  if (same_date(text, std::string_view(last_text_, last_size_))) {
    return read_time_of_day(text, last_time_, time);
  }
  const std::optional<text::CivilTime> read = read_timestamp(text);
  if (!read) return false;
  *time = *read;
  if (read->known()) {
    last_size_ = text.size() <= sizeof last_text_ ? text.size() : 0;
    std::memcpy(last_text_, text.data(), last_size_);
    last_time_ = *read;
  }
  return true;
}

namespace {

// The three-letter name number `index` of `names`, which holds `count` of
// them; the first when `index` is out of range.
std::string_view name_of(std::string_view names, int index, int count) {
  const int which = index >= 0 && index < count ? index : 0;
  return std::string_view(names.data() + 3 * which, 3);
}

// Appends `value` as printf's "%0Nd" (`fill` '0': zeros after the sign) or
// "%Nd" (`fill` ' ': spaces before it) writes it, N being `width`.
void put_number(Timestamp& text, std::int64_t value, std::size_t width, char fill) {
  const text::NumberText number = text::format_integer(value);
  std::string_view digits = number.view();
  if (fill == '0' && value < 0) {
    text << "-";
    digits.remove_prefix(1);
    width = width > 0 ? width - 1 : 0;
  }
  for (std::size_t size = digits.size(); size < width; ++size) text << std::string_view(&fill, 1);
  text << digits;
}

// Whether two timestamp texts differ at most in their time of day, the
// "hh:mm:ss" from offset 11 to 19.
bool same_date(std::string_view text, std::string_view other) {
  constexpr std::size_t kTimeOfDay = 11;
  constexpr std::size_t kYear = 19;
  if (text.size() != other.size() || text.size() <= kYear) return false;
  if (text.size() == kUnknownTime.size()) {
    // The usual text of four-digit years, compared a word at a time:
    // "Thu Jan 01" and " 2026" (bytes 0-7, 3-10 and 19-23).
    const auto word = [](const char* bytes, std::size_t at) {
      std::uint64_t value;
      std::memcpy(&value, bytes + at, sizeof value);
      return value;
    };
    const auto tail = [](const char* bytes) {
      std::uint32_t value;
      std::memcpy(&value, bytes + 20, sizeof value);
      return value;
    };
    return word(text.data(), 0) == word(other.data(), 0) &&
           word(text.data(), 3) == word(other.data(), 3) && text[19] == other[19] &&
           tail(text.data()) == tail(other.data());
  }
  // Both are longer than kYear bytes.
  return std::string_view(text.data(), kTimeOfDay) == std::string_view(other.data(), kTimeOfDay) &&
         std::string_view(text.data() + kYear, text.size() - kYear) ==
             std::string_view(other.data() + kYear, other.size() - kYear);
}

// The index of a three-letter name among `names`, three letters each.
std::optional<int> name_index(std::string_view names, std::string_view name) {
  for (std::size_t at = 0; at + 3 <= names.size(); at += 3) {
    if (names[at] == name[0] && names[at + 1] == name[1] && names[at + 2] == name[2]) {
      return static_cast<int>(at / 3);
    }
  }
  return std::nullopt;
}

// "%02d" of 0..max.
std::optional<int> two_digits(std::string_view text, int max) {
  if (text[0] < '0' || text[0] > '9' || text[1] < '0' || text[1] > '9') return std::nullopt;
  const int value = (text[0] - '0') * 10 + (text[1] - '0');
  if (value > max) return std::nullopt;
  return value;
}

// "%4d": an integer right-aligned in four places, so shorter ones have
// leading spaces and longer ones none.
std::optional<std::int64_t> parse_year(std::string_view text) {
  const std::size_t digits = text.find_first_not_of(' ');
  if (digits == std::string_view::npos || (digits > 0 && text.size() != 4)) return std::nullopt;
  constexpr std::int64_t kLimit = 999'999'999'999'999'999;
  std::int64_t year = 0;
  const std::string_view number(text.data() + digits, text.size() - digits);
  if (read_number_field(number, -kLimit, kLimit, &year) != number.size()) return std::nullopt;
  return year;
}

// The year of 2000..2399 with the same calendar as `year`: the Gregorian
// calendar repeats every 400 years, which are a whole number of weeks.
std::int64_t cycle_year(std::int64_t year) { return ((year % 400) + 400) % 400 + 2000; }

int days_in_month(std::int64_t year, int month) {
  constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const std::int64_t y = cycle_year(year);
  const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

// 0 (Sunday)..6, counted in days from 0000-03-01, a Wednesday.
int weekday_of(std::int64_t year, int month, int day) {
  const std::int64_t y = cycle_year(year) - (month <= 2 ? 1 : 0);
  const int m = month > 2 ? month - 3 : month + 9;
  const std::int64_t days = y * 365 + y / 4 - y / 100 + y / 400 + (153 * m + 2) / 5 + day - 1;
  return static_cast<int>((days + 3) % 7);
}

}  // namespace

}  // namespace records
