#include "records/timestamp.h"

#include <cstdint>

#include "records/format.h"
#include "text/number_format.h"

namespace records {

namespace {

std::string_view name_of(std::string_view names, int index, int count);
void put_number(Timestamp& text, std::int64_t value, std::size_t width, char fill);

}  // namespace

Timestamp timestamp_text(const std::optional<text::CivilTime>& time) {
  Timestamp text;
  if (!time) return text << kUnknownTime;
  text << name_of(kDayNames, time->weekday, 7) << " " << name_of(kMonthNames, time->month, 12)
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

namespace {

// The three-letter name number `index` of `names`, which holds `count` of
// them; the first when `index` is out of range.
std::string_view name_of(std::string_view names, int index, int count) {
  const int which = index >= 0 && index < count ? index : 0;
  return names.substr(static_cast<std::size_t>(3 * which), 3);
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

}  // namespace

}  // namespace records
