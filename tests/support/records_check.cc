#include "tests/support/records_check.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace testing_support {

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

bool starts_with(std::string_view text, std::string_view head) {
  return text.substr(0, head.size()) == head;
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

// A byte that word input never stores in a name, or that the drill shows
// as '?'.
bool bad_name_byte(char c) {
  const unsigned char byte = static_cast<unsigned char>(c);
  return byte <= 0x20 || byte == 0x7F;
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

// Checks that the facts of a block laid out right agree with one another.
// Returns an empty string when they do, else the line (1..9) and why not.
std::string check_facts(const Block& block) {
  if (block.name.size() > 255) return "line 2: a name of more than 255 bytes";
  for (char c : block.name) {
    if (bad_name_byte(c)) return "line 2: a name with a blank or control byte";
  }
  if (!utc_seconds(block.ending)) return "line 3: not a valid timestamp";
  if (!utc_seconds(block.starting)) return "line 4: not a valid timestamp";
  const std::optional<std::int64_t> elapsed = elapsed_value(block.elapsed);
  if (!elapsed) return "line 5: not \"%g\" of whole seconds";
  if (block.limit < INT32_MIN || block.limit > INT32_MAX) return "line 7: a limit beyond 32 bits";
  if (block.right < 0 || block.right > 20 || block.percent != block.right * 5 ||
      block.grade != letter_grade(block.percent)) {
    return "line 8: a result that does not add up";
  }
  const std::int64_t score = block.right * block.percent / std::max<std::int64_t>(*elapsed, 1);
  const bool exact = block.elapsed.find('e') == std::string::npos;
  if (exact ? block.score != score : block.score != 0) return "line 9: a wrong score";
  return "";
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
    const std::string where =
        "block " + std::to_string(number) + " (at byte " + std::to_string(at) + "), ";
    const std::string_view rest = bytes.substr(at);
    std::size_t failed_at = 0;
    const std::optional<ParsedBlock> parsed = parse_block(rest, &failed_at);
    if (!parsed) {
      // The line the layout stops fitting on, counted by its line ends.
      const std::size_t newline =
          failed_at == 0 ? std::string_view::npos : rest.rfind('\n', failed_at - 1);
      const std::size_t from = newline == std::string_view::npos ? 0 : newline + 1;
      const auto line =
          1 + std::count(rest.begin(), rest.begin() + static_cast<std::ptrdiff_t>(from), '\n');
      const std::size_t to = rest.find('\n', from);
      return fail(where + "line " + std::to_string(line) + ": not laid out as a block: " +
                  shown(rest.substr(from, to == std::string_view::npos ? to : to + 1 - from)));
    }
    Block block;
    static_cast<Report&>(block) = parsed->report;
    block.text = rest.substr(0, parsed->length);
    const std::string problem = check_facts(block);
    if (!problem.empty()) return fail(where + problem + " in " + shown(block.text));
    if (blocks != nullptr) blocks->push_back(std::move(block));
    at += parsed->length;
  }
  return true;
}

}  // namespace testing_support
