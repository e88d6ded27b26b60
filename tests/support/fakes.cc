#include "tests/support/fakes.h"

namespace testing_support {

files::AppendResult MemoryAppender::append(std::string_view block) {
  if (!refusal_.empty()) return {false, refusal_};
  if (contents_.empty() && !header_.empty()) contents_.append(header_).append("\r\n");
  contents_.append(block);
  ++blocks_;
  return {};
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
  civil.hour = static_cast<std::uint8_t>(seconds / 3600);
  civil.minute = static_cast<std::uint8_t>(seconds / 60 % 60);
  civil.second = static_cast<std::uint8_t>(seconds % 60);
  // 1970-01-01 was a Thursday.
  civil.weekday = static_cast<std::uint8_t>(((days % 7) + 11) % 7);
  // Days to civil date, counting in 400-year eras from 0000-03-01.
  CalendarTime z = days + 719468;
  CalendarTime era = (z >= 0 ? z : z - 146096) / 146097;
  CalendarTime day_of_era = z - era * 146097;
  CalendarTime year_of_era =
      (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
  CalendarTime day_of_year = day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
  CalendarTime month_index = (5 * day_of_year + 2) / 153;  // 0 = March
  civil.day = static_cast<std::uint8_t>(day_of_year - (153 * month_index + 2) / 5 + 1);
  civil.month = static_cast<std::uint8_t>(month_index < 10 ? month_index + 3 : month_index - 9);
  civil.year = year_of_era + era * 400 + (civil.month <= 2 ? 1 : 0);
  return civil;
}

std::optional<CalendarTime> FakeClock::now() {
  ++taken_;
  if (readings_.empty()) return std::nullopt;
  std::size_t index = next_ < readings_.size() ? next_++ : readings_.size() - 1;
  return readings_[index];
}

}  // namespace testing_support
