#include "tests/records_check.h"

#include <array>
#include <cstdio>
#include <cstdlib>

namespace testing_support {

namespace {

constexpr std::string_view kWeekdays = "SunMonTueWedThuFriSat";
constexpr std::string_view kMonths = "JanFebMarAprMayJunJulAugSepOctNovDec";
constexpr std::string_view kDescription =
    "Test description: 20  problems, mixed addition/subtraction (random 50/50)";

bool is_digit(char c) { return c >= '0' && c <= '9'; }

bool starts_with(std::string_view text, std::string_view head) {
  return text.substr(0, head.size()) == head;
}

// Days since 1970-01-01 of a proleptic Gregorian date (month 1..12).
std::int64_t days_from_civil(std::int64_t year, int month, int day) {
  year -= month <= 2;
  const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
  const std::int64_t year_of_era = year - era * 400;
  const std::int64_t day_of_year = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const std::int64_t day_of_era =
      year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
  return era * 146097 + day_of_era - 719468;
}

// Digits only, nothing else, at most 18 of them.
std::optional<std::int64_t> digits_value(std::string_view text) {
  if (text.empty() || text.size() > 18) return std::nullopt;
  std::int64_t value = 0;
  for (char c : text) {
    if (!is_digit(c)) return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

// A decimal integer as printf "%d" writes it: an optional '-', no leading
// zeros (except the number 0 itself), within the signed 32-bit range.
std::optional<std::int64_t> int32_text(std::string_view text) {
  const bool negative = starts_with(text, "-");
  if (negative) text.remove_prefix(1);
  if (text.size() > 1 && text[0] == '0') return std::nullopt;
  if (negative && text == "0") return std::nullopt;
  std::optional<std::int64_t> value = digits_value(text);
  if (!value) return std::nullopt;
  const std::int64_t signed_value = negative ? -*value : *value;
  if (signed_value < INT32_MIN || signed_value > INT32_MAX) return std::nullopt;
  return signed_value;
}

// "%g" of a whole number: "0", "240", "-5" below one million in size, else
// "1e+06", "1.23457e+06" (six significant digits, trailing zeros dropped).
// Returns the value when it is written as a plain integer, and 1e6 (a stand-in
// for "a million or more") for the exponent form; nothing when malformed.
std::optional<std::int64_t> elapsed_value(std::string_view text) {
  std::string_view magnitude = starts_with(text, "-") ? text.substr(1) : text;
  if (magnitude.find('e') == std::string_view::npos) {
    if (magnitude.size() > 6) return std::nullopt;
    return int32_text(text);
  }
  // Mantissa: one non-zero digit, optionally '.' and 1..5 digits not ending
  // in 0; then "e+" and at least two exponent digits, 06 or more.
  std::size_t e = magnitude.find('e');
  std::string_view mantissa = magnitude.substr(0, e), exponent = magnitude.substr(e + 1);
  if (mantissa.empty() || !is_digit(mantissa[0]) || mantissa[0] == '0') return std::nullopt;
  if (mantissa.size() > 1) {
    std::string_view fraction = mantissa.substr(1);
    if (fraction.size() < 2 || fraction.size() > 6 || fraction[0] != '.' ||
        fraction.back() == '0' || !digits_value(fraction.substr(1))) {
      return std::nullopt;
    }
  }
  if (!starts_with(exponent, "+") || exponent.size() < 3) return std::nullopt;
  std::optional<std::int64_t> power = digits_value(exponent.substr(1));
  if (!power || *power < 6 || *power > 9) return std::nullopt;
  return starts_with(text, "-") ? -1000000 : 1000000;
}

// A byte that word input never stores in a name (or that printing drops).
bool bad_name_byte(char c) {
  return c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == ' ' || c == '\0';
}

std::string shown(std::string_view line) {
  std::string out = "\"";
  for (unsigned char c : line) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c >= 0x20 && c < 0x7f) {
      out += static_cast<char>(c);
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02x", c);
      out += hex;
    }
  }
  return out + "\"";
}

// Checks one line (without its CR LF) as line `index` (0..8) of a block and
// fills in the block. Returns an empty string when it is valid, else why not.
std::string check_line(int index, std::string_view line, Block& block) {
  auto after = [&](std::string_view head, std::string_view& rest) {
    if (!starts_with(line, head)) return false;
    rest = line.substr(head.size());
    return true;
  };
  std::string_view rest;
  switch (index) {
    case 0:
      return line == kRecordsSeparator ? "" : "not the separator line";
    case 1:
      if (!after("Test results for ", rest) || rest.empty() || rest.back() != ':') {
        return "not \"Test results for NAME:\"";
      }
      rest.remove_suffix(1);
      if (rest.size() > 255) return "name longer than 255 bytes";
      for (char c : rest) {
        if (bad_name_byte(c)) return "whitespace or NUL in the name";
      }
      block.name = rest;
      return "";
    case 2:
    case 3:
      if (!after(index == 2 ? "Ending time:    " : "Starting time:  ", rest)) {
        return "wrong heading for a time";
      }
      if (!utc_seconds(rest)) return "not a valid timestamp";
      (index == 2 ? block.ending_time : block.starting_time) = rest;
      return "";
    case 4: {
      if (!after("Elapsed time:   ", rest) || rest.size() < 9 ||
          rest.substr(rest.size() - 9) != " seconds.") {
        return "not \"Elapsed time:   E seconds.\"";
      }
      rest.remove_suffix(9);
      if (!elapsed_value(rest)) return "elapsed time not written as %g of whole seconds";
      block.elapsed = rest;
      return "";
    }
    case 5:
      return line == kDescription ? "" : "not the test description";
    case 6: {
      std::optional<std::int64_t> limit;
      if (!after("Addend limits 0 through ", rest) || !(limit = int32_text(rest))) {
        return "not \"Addend limits 0 through L\"";
      }
      block.addend_limit = *limit;
      return "";
    }
    case 7: {
      // "Results: R right out of 20, grade P% / G"
      if (!after("Results: ", rest)) return "not a results line";
      std::size_t space = rest.find(' ');
      std::optional<std::int64_t> right = int32_text(rest.substr(0, space));
      if (space == std::string_view::npos || !right || *right < 0 || *right > 20) {
        return "right count not 0..20";
      }
      const int percent = static_cast<int>(*right) * 100 / 20;
      const std::string expected = "Results: " + std::to_string(*right) +
                                   " right out of 20, grade " + std::to_string(percent) + "% / " +
                                   expected_grade(percent);
      if (line != expected) return "results line should be " + shown(expected);
      block.right = static_cast<int>(*right);
      block.percent = percent;
      block.grade = expected_grade(percent);
      return "";
    }
    case 8: {
      std::optional<std::int64_t> score;
      if (!after("Time/performance rating: ", rest) || !(score = int32_text(rest))) {
        return "not \"Time/performance rating: S\"";
      }
      const std::int64_t product = std::int64_t{block.right} * block.percent;
      std::optional<std::int64_t> elapsed = elapsed_value(block.elapsed);
      const std::int64_t divisor = *elapsed < 1 ? 1 : *elapsed;
      // In exponent form the elapsed time is a million or more, so the
      // score (at most 2000 / 1e6) truncates to 0 whatever its exact value.
      if (*score != product / divisor) {
        return "score should be " + std::to_string(product / divisor);
      }
      block.score = *score;
      return "";
    }
  }
  return "no such line";
}

}  // namespace

bool parse_records(std::string_view bytes, std::vector<Block>* blocks, std::string* why,
                   std::string_view prefix) {
  auto fail = [&](const std::string& reason) {
    if (why != nullptr) *why = reason;
    return false;
  };
  if (blocks != nullptr) blocks->clear();
  if (!starts_with(bytes, prefix)) return fail("the file does not begin with the given prefix");
  std::size_t at = prefix.size();
  for (int number = 1; at < bytes.size(); ++number) {
    Block block;
    const std::size_t block_start = at;
    const std::string where =
        "block " + std::to_string(number) + " (at byte " + std::to_string(block_start) + "), line ";
    for (int index = 0; index < 9; ++index) {
      const std::size_t end = bytes.find("\r\n", at);
      if (end == std::string_view::npos) {
        return fail(where + std::to_string(index + 1) + ": cut off, no CR LF in " +
                    shown(bytes.substr(at)));
      }
      const std::string_view line = bytes.substr(at, end - at);
      if (line.find_first_of("\r\n") != std::string_view::npos) {
        return fail(where + std::to_string(index + 1) + ": a bare CR or LF in " + shown(line));
      }
      const std::string problem = check_line(index, line, block);
      if (!problem.empty()) {
        return fail(where + std::to_string(index + 1) + ": " + problem + ": " + shown(line));
      }
      at = end + 2;
    }
    block.text = bytes.substr(block_start, at - block_start);
    if (blocks != nullptr) blocks->push_back(std::move(block));
  }
  return true;
}

std::string expected_grade(int percent) {
  static constexpr std::array<std::pair<int, const char*>, 8> kScale = {{
      {98, "A+"},
      {90, "A"},
      {88, "B+"},
      {80, "B"},
      {78, "C+"},
      {70, "C"},
      {68, "D+"},
      {60, "D"},
  }};
  for (const auto& [least, grade] : kScale) {
    if (percent >= least) return grade;
  }
  return "F";
}

std::optional<std::int64_t> utc_seconds(std::string_view text) {
  // "Www Mmm DD hh:mm:ss YYYY"
  if (text.size() != 24 || text[3] != ' ' || text[7] != ' ' || text[10] != ' ' || text[13] != ':' ||
      text[16] != ':' || text[19] != ' ') {
    return std::nullopt;
  }
  const std::size_t weekday = kWeekdays.find(text.substr(0, 3));
  const std::size_t month = kMonths.find(text.substr(4, 3));
  if (weekday == std::string_view::npos || weekday % 3 != 0 || month == std::string_view::npos ||
      month % 3 != 0) {
    return std::nullopt;
  }
  const auto day = digits_value(text.substr(8, 2)), hour = digits_value(text.substr(11, 2)),
             minute = digits_value(text.substr(14, 2)), second = digits_value(text.substr(17, 2)),
             year = digits_value(text.substr(20, 4));
  if (!day || !hour || !minute || !second || !year || *year < 1000) return std::nullopt;
  const int month_number = static_cast<int>(month / 3) + 1;
  // The day must exist: it is below the first day of the next month.
  const std::int64_t days = days_from_civil(*year, month_number, static_cast<int>(*day));
  const std::int64_t next_month = month_number == 12 ? days_from_civil(*year + 1, 1, 1)
                                                     : days_from_civil(*year, month_number + 1, 1);
  if (*day < 1 || days >= next_month || *hour > 23 || *minute > 59 || *second > 60) {
    return std::nullopt;
  }
  // 1970-01-01 was a Thursday (4).
  const std::int64_t expected_weekday = ((days % 7) + 7 + 4) % 7;
  if (static_cast<std::int64_t>(weekday / 3) != expected_weekday) return std::nullopt;
  return days * 86400 + *hour * 3600 + *minute * 60 + *second;
}

}  // namespace testing_support
