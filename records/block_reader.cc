#include "records/block_reader.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <string>

#include "records/format.h"

namespace records {

namespace {

constexpr std::int64_t kInt32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();

bool read_line(int index, std::string_view line, LoggedTest& test, LastDate& last_date);
std::uint64_t mix_line(std::uint64_t hash, std::string_view line);
std::uint64_t finish_hash(std::uint64_t hash);

}  // namespace

void BlockReader::add(std::string_view bytes) { rest_ = bytes; }

const LoggedTest* BlockReader::next() {
  while (!rest_.empty()) {
    const std::size_t end = rest_.find('\n');
    if (end == std::string_view::npos) {
      keep_partial(rest_);
      rest_ = {};
      break;
    }
    std::string_view line = rest_.substr(0, end);
    rest_.remove_prefix(end + 1);
    bool whole_block;
    if (partial_.empty()) {
      whole_block = take_line(line);
    } else {
      keep_partial(line);
      whole_block = take_line(partial_);
      partial_.clear();
    }
    if (whole_block) return &test_;
  }
  return nullptr;
}

const ReadCounts& BlockReader::finish() {
  // A last line without LF ends no block; count it and what it cut off.
  if (!partial_.empty()) {
    const std::uint64_t number = ++counts_.lines;
    skip(index_ > 0 ? block_first_line_ : number, number);
    partial_.clear();
  } else if (index_ > 0) {
    skip(block_first_line_, counts_.lines);
  }
  index_ = 0;
  close_range();
  return counts_;
}

// Reads one line, without its LF. Returns whether it ends a whole block.
// A separator line starts a block wherever it appears; one that comes in
// the middle of a block cuts that block off.
bool BlockReader::take_line(std::string_view line) {
  const std::uint64_t number = ++counts_.lines;
  if (number == 1 && line.starts_with(kByteOrderMark)) line.remove_prefix(kByteOrderMark.size());
  if (line.ends_with('\r')) line.remove_suffix(1);
  if (line.size() <= kMaxLineLength) {
    if (line.starts_with(kSeparatorHead.front()) && read_line(0, line, test_, last_date_)) {
      if (index_ > 0) skip(block_first_line_, number - 1);
      block_first_line_ = number;
      index_ = 1;
      if (fingerprints_) fingerprint_ = mix_line(0, line);
      return false;
    }
    if (index_ > 0 && read_line(index_, line, test_, last_date_)) {
      if (fingerprints_) fingerprint_ = mix_line(fingerprint_, line);
      if (++index_ < kBlockLines) return false;
      index_ = 0;
      test_.first_line = block_first_line_;
      test_.fingerprint = fingerprints_ ? finish_hash(fingerprint_) : 0;
      ++counts_.tests;
      return true;
    }
  }
  skip(index_ > 0 ? block_first_line_ : number, number);
  index_ = 0;
  return false;
}

// Keeps the part of a line that a piece ends in, up to two bytes more than
// the longest block line: enough to tell that a longer line is too long,
// however long it is.
void BlockReader::keep_partial(std::string_view part) {
  const std::size_t room = kMaxLineLength + 2 - std::min(partial_.size(), kMaxLineLength + 2);
  partial_.append(part.substr(0, std::min(room, part.size())));
}

void BlockReader::skip(std::uint64_t first, std::uint64_t last) {
  count_skipped(first, last, &open_range_, &counts_);
}

void BlockReader::close_range() { close_skipped(&open_range_, &counts_); }

void count_skipped(std::uint64_t first, std::uint64_t last, LineRange* open, ReadCounts* counts) {
  counts->skipped_lines += last - first + 1;
  if (open->last != 0 && open->last + 1 == first) {
    open->last = last;
    return;
  }
  close_skipped(open, counts);
  *open = {.first = first, .last = last};
}

void close_skipped(LineRange* open, ReadCounts* counts) {
  if (open->last == 0) return;
  if (counts->skipped_ranges < ReadCounts::kRangesKept) {
    counts->first_ranges[counts->skipped_ranges] = *open;
  }
  ++counts->skipped_ranges;
  *open = {};
}

namespace {

// A line of a block, read from the front: fixed texts and fields in turn.
// Each step returns nothing (or false) when the bytes there do not fit.
class Fields {
 public:
  explicit Fields(std::string_view line) : rest_(line) {}

  // The fixed text `expected`.
  bool text(std::string_view expected) {
    if (!rest_.starts_with(expected)) return false;
    rest_.remove_prefix(expected.size());
    return true;
  }

  // A "%d" integer in [min, max]: the '-' and digits that come next.
  std::optional<std::int64_t> integer(std::int64_t min, std::int64_t max);

  // All that is left of the line.
  std::string_view rest() const { return rest_; }
  bool at_end() const { return rest_.empty(); }

 private:
  std::string_view rest_;
};

bool read_separator(std::string_view line, LoggedTest& test);
bool read_name(std::string_view line, LoggedTest& test);
bool read_time(std::string_view text, LastDate& last_date, LoggedTime& time);
bool same_date(std::string_view text, std::string_view other);
bool read_elapsed(std::string_view line, LoggedTest& test);
bool read_description(std::string_view line, LoggedTest& test);
bool read_limit(std::string_view line, LoggedTest& test);
bool read_results(std::string_view line, LoggedTest& test);
bool read_rating(std::string_view line, LoggedTest& test);
std::optional<std::int64_t> parse_integer(std::string_view text, std::int64_t min,
                                          std::int64_t max);
std::optional<double> parse_elapsed(std::string_view text);
std::optional<LoggedTime> parse_time(std::string_view text);
std::optional<int> name_index(std::string_view names, std::string_view name);
std::optional<int> two_digits(std::string_view text, int max);
std::optional<std::int64_t> parse_year(std::string_view text);
int days_in_month(std::int64_t year, int month);
int weekday_of(std::int64_t year, int month, int day);
bool is_space(char c);

// Reads line `index` of a block (0 = the separator line) into `test`.
// Returns false, with `test` holding part of the line's facts, when the
// line is not that line of a sound block.
bool read_line(int index, std::string_view line, LoggedTest& test, LastDate& last_date) {
  switch (index) {
    case 0:
      return read_separator(line, test);
    case 1:
      return read_name(line, test);
    case 2:
      return line.starts_with(kEndHead) &&
             read_time(line.substr(kEndHead.size()), last_date, test.end);
    case 3:
      return line.starts_with(kStartHead) &&
             read_time(line.substr(kStartHead.size()), last_date, test.start);
    case 4:
      return read_elapsed(line, test);
    case 5:
      return read_description(line, test);
    case 6:
      return read_limit(line, test);
    case 7:
      return read_results(line, test);
    case 8:
      return read_rating(line, test);
    default:
      return false;
  }
}

// The site name runs from the head to the tail's hyphens at the line's end;
// it is not empty and holds no whitespace, and may end in '-' itself.
bool read_separator(std::string_view line, LoggedTest& test) {
  Fields fields(line);
  if (!fields.text(kSeparatorHead)) return false;
  std::string_view site = fields.rest();
  if (site.size() <= kSeparatorTail.size() || !site.ends_with(kSeparatorTail)) return false;
  site.remove_suffix(kSeparatorTail.size());
  for (char c : site) {
    if (is_space(c)) return false;
  }
  test.site.assign(site);
  return true;
}

// The name runs to the line's last byte, a ':', so a name may hold ':' too.
bool read_name(std::string_view line, LoggedTest& test) {
  Fields fields(line);
  if (!fields.text(kNameHead)) return false;
  std::string_view name = fields.rest();
  if (!name.ends_with(kNameTail)) return false;
  name.remove_suffix(kNameTail.size());
  if (name.size() > kMaxNameLength) return false;
  for (char c : name) {
    if (is_space(c) || c == '\0') return false;
  }
  test.name.assign(name);
  return true;
}

// A line's timestamp text, after its head. A text of the date read last
// needs only its time of day read.
bool read_time(std::string_view text, LastDate& last_date, LoggedTime& time) {
  if (same_date(text, last_date.text)) {
    const std::optional<int> hour = two_digits(text.substr(11, 2), 23);
    const std::optional<int> minute = two_digits(text.substr(14, 2), 59);
    const std::optional<int> second = two_digits(text.substr(17, 2), 60);
    if (!hour || !minute || !second || text[13] != ':' || text[16] != ':') return false;
    time = last_date.time;
    time.hour = static_cast<std::uint8_t>(*hour);
    time.minute = static_cast<std::uint8_t>(*minute);
    time.second = static_cast<std::uint8_t>(*second);
    return true;
  }
  const std::optional<LoggedTime> read = parse_time(text);
  if (!read) return false;
  time = *read;
  if (time.known()) last_date = {.text = std::string(text), .time = time};
  return true;
}

// Whether two timestamp texts differ at most in their time of day, the
// "hh:mm:ss" from offset 11 to 19.
bool same_date(std::string_view text, std::string_view other) {
  constexpr std::size_t kTimeOfDay = 11;
  constexpr std::size_t kYear = 19;
  return text.size() == other.size() && text.size() > kYear &&
         text.substr(0, kTimeOfDay) == other.substr(0, kTimeOfDay) &&
         text.substr(kYear) == other.substr(kYear);
}

bool read_elapsed(std::string_view line, LoggedTest& test) {
  Fields fields(line);
  if (!fields.text(kElapsedHead)) return false;
  std::string_view elapsed = fields.rest();
  if (!elapsed.ends_with(kElapsedTail)) return false;
  elapsed.remove_suffix(kElapsedTail.size());
  const std::optional<double> seconds = parse_elapsed(elapsed);
  if (!seconds) return false;
  test.elapsed.assign(elapsed);
  test.elapsed_seconds = *seconds;
  return true;
}

// "Test description: 20  problems, D" with D the description of a set of
// operations (operations.h); its head is made once.
bool read_description(std::string_view line, LoggedTest& test) {
  static const std::string kHead = std::string(kDescriptionHead) + std::to_string(kProblemCount) +
                                   std::string(kBlockCountGap) + std::string(kProblemsHead);
  if (!line.starts_with(kHead)) return false;
  const std::optional<Operations> operations = records::read_description(line.substr(kHead.size()));
  if (!operations) return false;
  test.operations = *operations;
  return true;
}

// The limit line whose head fits the operations of the description.
bool read_limit(std::string_view line, LoggedTest& test) {
  Fields fields(line);
  if (!fields.text(limit_head(test.operations))) return false;
  const std::optional<std::int64_t> limit = fields.integer(kInt32Min, kInt32Max);
  if (!limit || !fields.at_end()) return false;
  test.addend_limit = static_cast<std::int32_t>(*limit);
  return true;
}

// "Results: R right out of 20, grade P% / G", where P must be R's share of
// the problems in percent and G the grade of P.
bool read_results(std::string_view line, LoggedTest& test) {
  Fields fields(line);
  if (!fields.text(kResultsHead)) return false;
  const std::optional<std::int64_t> right = fields.integer(0, kProblemCount);
  if (!right || !fields.text(kResultsOutOf) ||
      !fields.integer(kProblemCount, kProblemCount).has_value() || !fields.text(kResultsGrade)) {
    return false;
  }
  const std::optional<std::int64_t> percent = fields.integer(0, 100);
  if (!percent || !fields.text(kResultsPercent)) return false;
  const auto shown = static_cast<std::int32_t>(*percent);
  if (shown != *right * 100 / kProblemCount || fields.rest() != letter_grade(shown)) return false;
  test.right = static_cast<std::int32_t>(*right);
  test.percent = shown;
  return true;
}

bool read_rating(std::string_view line, LoggedTest& test) {
  Fields fields(line);
  if (!fields.text(kRatingHead)) return false;
  const std::optional<std::int64_t> rating = fields.integer(kInt32Min, kInt32Max);
  if (!rating || !fields.at_end()) return false;
  test.rating = static_cast<std::int32_t>(*rating);
  return true;
}

std::optional<std::int64_t> Fields::integer(std::int64_t min, std::int64_t max) {
  std::size_t size = 0;
  while (size < rest_.size() && (rest_[size] == '-' || (rest_[size] >= '0' && rest_[size] <= '9')))
    ++size;
  const std::optional<std::int64_t> value = parse_integer(rest_.substr(0, size), min, max);
  if (value) rest_.remove_prefix(size);
  return value;
}

// An integer as "%d" writes it: an optional '-', then digits with no
// leading zero ("0" alone is zero, and "-0" is never written). Nothing for
// anything else, for more than 18 digits (no field needs more) and for
// values outside [min, max].
std::optional<std::int64_t> parse_integer(std::string_view text, std::int64_t min,
                                          std::int64_t max) {
  const bool negative = text.starts_with('-');
  const std::string_view digits = negative ? text.substr(1) : text;
  if (digits.empty() || digits.size() > 18 ||
      (digits[0] == '0' && (digits.size() > 1 || negative))) {
    return std::nullopt;
  }
  std::int64_t magnitude = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    magnitude = magnitude * 10 + (c - '0');
  }
  const std::int64_t value = negative ? -magnitude : magnitude;
  if (value < min || value > max) return std::nullopt;
  return value;
}

// An elapsed time as "%g" writes a whole number of seconds: below a
// million in size the integer itself ("95", "-5"); from a million on six
// significant digits with an exponent ("1e+06", "-1.23457e+06"). Such a
// text is read back to its value and written again; only the same text
// passes, and only up to kMaxElapsedSeconds in size, so that sums and
// scales of a few of them stay finite.
std::optional<double> parse_elapsed(std::string_view text) {
  constexpr std::int64_t kLargestPlain = 999'999;
  if (std::optional<std::int64_t> whole = parse_integer(text, -kLargestPlain, kLargestPlain)) {
    return static_cast<double>(*whole);
  }
  const char* const end = text.data() + text.size();
  double value = 0;
  const auto read = std::from_chars(text.data(), end, value, std::chars_format::scientific);
  if (read.ec != std::errc() || read.ptr != end || !std::isfinite(value) ||
      std::fabs(value) <= kLargestPlain || std::fabs(value) > kMaxElapsedSeconds) {
    return std::nullopt;
  }
  char written[32];
  const auto write =
      std::to_chars(written, written + sizeof written, value, std::chars_format::general, 6);
  if (write.ec != std::errc() ||
      text != std::string_view(written, static_cast<std::size_t>(write.ptr - written))) {
    return std::nullopt;
  }
  return value;
}

// A timestamp text in the layout of format.h, or the placeholder (an
// unknown time). Nothing for an unknown weekday or month name, a day the
// month does not have, a weekday that does not fall on that date (by the
// Gregorian calendar), hours past 23, minutes past 59, seconds past 60, or
// a year of more than 18 digits.
std::optional<LoggedTime> parse_time(std::string_view text) {
  if (text == kUnknownTime) return LoggedTime{};
  if (text.size() < kUnknownTime.size() || text[3] != ' ' || text[7] != ' ' || text[10] != ' ' ||
      text[13] != ':' || text[16] != ':' || text[19] != ' ') {
    return std::nullopt;
  }
  const std::optional<int> weekday = name_index(kDayNames, text.substr(0, 3));
  const std::optional<int> month = name_index(kMonthNames, text.substr(4, 3));
  const std::optional<int> day = two_digits(text.substr(8, 2), 31);
  const std::optional<int> hour = two_digits(text.substr(11, 2), 23);
  const std::optional<int> minute = two_digits(text.substr(14, 2), 59);
  const std::optional<int> second = two_digits(text.substr(17, 2), 60);
  const std::optional<std::int64_t> year = parse_year(text.substr(20));
  if (!weekday || !month || !day || !hour || !minute || !second || !year || *day < 1 ||
      *day > days_in_month(*year, *month + 1) || weekday_of(*year, *month + 1, *day) != *weekday) {
    return std::nullopt;
  }
  return LoggedTime{.year = *year,
                    .month = static_cast<std::uint8_t>(*month + 1),
                    .day = static_cast<std::uint8_t>(*day),
                    .hour = static_cast<std::uint8_t>(*hour),
                    .minute = static_cast<std::uint8_t>(*minute),
                    .second = static_cast<std::uint8_t>(*second),
                    .weekday = static_cast<std::uint8_t>(*weekday)};
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
  return parse_integer(text.substr(digits), -kLimit, kLimit);
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

bool is_space(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Mixes the length of `line`, then its bytes eight at a time, into `hash`.
// Lines of a block are short and read once, so a word at a time is enough.
std::uint64_t mix_line(std::uint64_t hash, std::string_view line) {
  constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15u;
  const auto mix = [&](std::uint64_t word) { hash = std::rotl(hash ^ word, 27) * kMultiplier; };
  mix(line.size());
  std::size_t at = 0;
  for (; at + sizeof(std::uint64_t) <= line.size(); at += sizeof(std::uint64_t)) {
    std::uint64_t word;
    std::memcpy(&word, line.data() + at, sizeof word);
    mix(word);
  }
  std::uint64_t tail = 0;
  std::memcpy(&tail, line.data() + at, line.size() - at);
  mix(tail);
  return hash;
}

// Spreads every bit of `hash` over the whole fingerprint (MurmurHash3's
// final mix).
std::uint64_t finish_hash(std::uint64_t hash) {
  hash ^= hash >> 33;
  hash *= 0xFF51AFD7ED558CCDu;
  hash ^= hash >> 33;
  hash *= 0xC4CEB9FE1A85EC53u;
  hash ^= hash >> 33;
  return hash;
}

}  // namespace

}  // namespace records
