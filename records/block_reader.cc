#include "records/block_reader.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <string>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "records/field_cursor.h"
#include "records/format.h"
#include "records/number_field.h"
#include "text/fixed_text.h"

namespace records {

namespace {

constexpr std::int64_t kInt32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();

using text::FixedText;
using text::joined;

// "20", the number of problems as a block's lines write it.
constexpr auto kProblemCountText = text::decimal_text<kProblemCount>();

// "Test description: 20  problems, ", before the operations.
constexpr auto kDescriptionLineHead = joined([] {
  return std::array{kDescriptionHead, kProblemCountText.view(), kBlockCountGap, kProblemsHead};
});

bool read_line(int index, std::string_view line, LoggedTest* test, TimestampReader* times);

// A name that runs to the last ':' before the line end, which takes
// kLineEndSize bytes: at most kMaxNameLength bytes, none of them whitespace
// or NUL. The cursor then stands at the ':'. Null, the cursor where it
// was, when there is none such.
template <std::size_t kLineEndSize, typename Cursor>
[[gnu::always_inline]] inline std::string_view name_before(Cursor* cursor) {
  const std::string_view rest = cursor->remaining();
#if defined(__SSE2__)
  // Most names are short and plain. Whitespace and NUL are all at most
  // 0x20: when the first such byte of the next sixteen begins the line end,
  // after the ':', every byte before it is a name's.
  if (rest.size() > 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rest.data()));
    const __m128i space = _mm_set1_epi8(0x20);
    const auto low =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_max_epu8(bytes, space), space)));
    const auto end = static_cast<std::size_t>(std::countr_zero(low | 0x10000u));
    if (end >= 1 && end < 16 && rest[end - 1] == ':' &&
        (kLineEndSize == 1 ? rest[end] == '\n' : rest[end] == '\r' && rest[end + 1] == '\n')) {
      cursor->skip(end - 1);
      // A view made directly: end is at least 1, and substr's check would
      // cost a call.
      return std::string_view(rest.data(), end - 1);
    }
  }
#endif
  const void* found = std::memchr(rest.data(), '\n', std::min(rest.size(), kMaxNameLength + 3));
  if (found == nullptr) return {};
  const auto line_size = static_cast<std::size_t>(static_cast<const char*>(found) - rest.data());
  if (line_size < kLineEndSize || rest[line_size - kLineEndSize] != ':') return {};
  const std::string_view name(rest.data(), line_size - kLineEndSize);
  static constexpr auto kRefused = [] {
    std::array<bool, 256> refused{};
    for (const char c : std::string_view(" \t\n\v\f\r\0", 7)) {
      refused[static_cast<unsigned char>(c)] = true;
    }
    return refused;
  }();
  for (const char c : name) {
    if (kRefused[static_cast<unsigned char>(c)]) return {};
  }
  cursor->skip(name.size());
  return name;
}

// The fixed texts between the fields of a block, with line ends of one
// kind: CR LF when kCrLf, else LF. They are joined when compiling, from the
// format's texts.
template <bool kCrLf>
struct BlockJoints {
  static constexpr std::string_view kEnd = kCrLf ? "\r\n" : "\n";
  static constexpr auto line_end = joined([] { return std::array{kEnd}; });
  // The separator line, and the name's head.
  static constexpr auto to_name = joined([] {
    return std::array{kSeparatorHead, kSite, kSeparatorTail, kEnd, kNameHead};
  });
  // The name's tail, and the ending time's head.
  static constexpr auto to_end_time = joined([] { return std::array{kNameTail, kEnd, kEndHead}; });
  static constexpr auto to_start_time = joined([] { return std::array{kEnd, kStartHead}; });
  static constexpr auto to_elapsed = joined([] { return std::array{kEnd, kElapsedHead}; });
  // The elapsed time's tail, and "Test description: 20  problems, ".
  static constexpr auto to_description = joined([] {
    return std::array{kElapsedTail, kEnd, kDescriptionLineHead.view()};
  });
  // After the limit.
  static constexpr auto to_results = joined([] { return std::array{kEnd, kResultsHead}; });
  // " right out of 20, grade ".
  static constexpr auto to_percent = joined([] {
    return std::array{kResultsOutOf, kProblemCountText.view(), kResultsGrade};
  });
  static constexpr auto percent_tail = joined([] { return std::array{kResultsPercent}; });
  // After the grade.
  static constexpr auto to_rating = joined([] { return std::array{kEnd, kRatingHead}; });
};

// The separator line of the drill's own site, without its line end.
constexpr std::size_t kSeparatorLineSize =
    kSeparatorHead.size() + kSite.size() + kSeparatorTail.size();

// More than the fast path's steps can take from the bytes, fixed texts,
// texts and numbers: a name of at most kMaxNameLength bytes, two
// timestamps, a description the reader keeps, the longest limit head,
// five numbers of the most digits, a grade and a sign or two, and the
// fixed texts (with CR LF, the longer line end).
constexpr std::size_t kMostTaken = [] {
  using Joints = BlockJoints<true>;
  constexpr std::size_t kLongestDescription = 80;
  constexpr std::size_t kLongestLimitHead =
      std::max({kLimitHead.size(), kNumberLimitHead.size(), kDivisionLimitHead.size()});
  std::size_t longest_grade = 0;
  for (const GradeStep& step : kGradeScale)
    longest_grade = std::max(longest_grade, step.letter.size());
  return Joints::to_name.size() + kMaxNameLength + Joints::to_end_time.size() +
         2 * kUnknownTime.size() + Joints::to_start_time.size() + Joints::to_elapsed.size() +
         Joints::to_description.size() + kLongestDescription + Joints::line_end.size() +
         kLongestLimitHead + 5 * (kMaxFieldDigits + 2) + Joints::to_results.size() +
         Joints::to_percent.size() + Joints::percent_tail.size() + longest_grade +
         Joints::to_rating.size() + Joints::line_end.size() + 16;
}();

Fingerprint fingerprint_of(const LoggedTest& test, FingerprintKey key);

}  // namespace

void BlockReader::add(std::string_view bytes) { rest_ = bytes; }

const LoggedTest* BlockReader::next() {
  while (!rest_.empty()) {
    // A whole block in the piece, in the layout the drill writes, is read
    // at once; anything else goes line by line.
    if (partial_.empty() && index_ == 0 && counts_.lines > 0 && !exact_lines_only_) {
      if (const std::size_t used = take_block(rest_)) {
        rest_.remove_prefix(used);
        test_.first_line = counts_.lines + 1;
        counts_.lines += kBlockLines;
        ++counts_.tests;
        return &test_;
      }
    }
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
  // A byte-order mark at the start of the file, or before a separator line
  // where two logs saved on Windows were joined, is passed over.
  if (line.starts_with(kByteOrderMark) &&
      (number == 1 || line.substr(kByteOrderMark.size()).starts_with(kSeparatorHead))) {
    line.remove_prefix(kByteOrderMark.size());
  }
  if (line.ends_with('\r')) line.remove_suffix(1);
  if (line.size() <= kMaxLineLength) {
    if (line.starts_with(kSeparatorHead.front()) && read_line(0, line, &test_, &times_)) {
      keep_texts(0);
      if (index_ > 0) skip(block_first_line_, number - 1);
      block_first_line_ = number;
      index_ = 1;
      return false;
    }
    if (index_ > 0 && read_line(index_, line, &test_, &times_)) {
      keep_texts(index_);
      if (++index_ < kBlockLines) return false;
      index_ = 0;
      test_.first_line = block_first_line_;
      test_.end_text = {};
      test_.start_text = {};
      test_.fingerprint = fingerprints_ ? fingerprint_of(test_, fingerprint_key_) : Fingerprint{};
      ++counts_.tests;
      return true;
    }
  }
  skip(index_ > 0 ? block_first_line_ : number, number);
  index_ = 0;
  return false;
}

// Reads the block at the start of `bytes` when all of it is there and it
// is laid out as the drill writes it: the drill's site, timestamps of
// four-digit years, an elapsed time without exponent, and the same line end
// (CR LF or LF) on every line. Returns how many bytes it took, with the
// test in test_, or 0 when it takes nothing and the line reader must
// decide. It accepts only what the line reader accepts, and reads it to
// the same test, but in one pass: the fixed texts between two fields,
// line ends included, are compared as one.
std::size_t BlockReader::take_block(std::string_view bytes) {
  const bool crlf = bytes.size() > kSeparatorLineSize && bytes[kSeparatorLineSize] == '\r';
  // Where the bytes hold more than a block's steps can take, as all but the
  // last blocks of a piece do, the steps need not look at what is left.
  if (bytes.size() > kMostTaken) {
    return crlf ? take_block_ending<true, false>(bytes) : take_block_ending<false, false>(bytes);
  }
  return crlf ? take_block_ending<true, true>(bytes) : take_block_ending<false, true>(bytes);
}

// take_block for a block whose lines end in CR LF (kCrLf) or LF: the fixed
// texts and their sizes are then all known when compiling. Without
// kChecked, `bytes` hold more than kMostTaken.
template <bool kCrLf, bool kChecked>
std::size_t BlockReader::take_block_ending(std::string_view bytes) {
  using Joints = BlockJoints<kCrLf>;
  BasicFieldCursor<kChecked> cursor(bytes);
  if (!cursor.fixed(Joints::to_name)) return 0;
  const std::string_view name = name_before<Joints::line_end.size()>(&cursor);
  if (name.data() == nullptr || !cursor.fixed(Joints::to_end_time)) return 0;
  const std::string_view ending = cursor.take(kUnknownTime.size());
  if (ending.empty() || !cursor.fixed(Joints::to_start_time)) return 0;
  const std::string_view starting = cursor.take(kUnknownTime.size());
  std::int64_t elapsed;
  std::string_view elapsed_text;
  if (starting.empty() || !cursor.fixed(Joints::to_elapsed) ||
      (elapsed_text = cursor.short_integer(-999'999, 999'999, &elapsed)).empty() ||
      !cursor.fixed(Joints::to_description)) {
    return 0;
  }
  // The description is almost always the one of the block before: then it
  // is compared in place, without looking for the line end first.
  std::optional<Operations> operations;
  if (auto same = cursor; same.fixed(std::string_view(last_description_, last_description_size_)) &&
                          same.fixed(Joints::line_end) && last_description_size_ > 0) {
    cursor = same;
    operations = last_operations_;
  } else {
    operations = read_operations(cursor.rest_of_line());
    if (!operations || !cursor.fixed(Joints::line_end)) return 0;
  }
  std::int64_t limit;
  if (!operations || !cursor.fixed(limit_head(*operations)) ||
      cursor.short_integer(kInt32Min, kInt32Max, &limit).empty() ||
      !cursor.fixed(Joints::to_results)) {
    return 0;
  }
  std::int64_t right;
  std::int64_t percent;
  if (cursor.short_integer(0, kProblemCount, &right).empty() || !cursor.fixed(Joints::to_percent) ||
      cursor.short_integer(0, 100, &percent).empty() || !cursor.fixed(Joints::percent_tail) ||
      percent != right * 100 / kProblemCount ||
      !cursor.fixed(letter_grade(static_cast<std::int32_t>(percent)))) {
    return 0;
  }
  std::int64_t rating;
  if (!cursor.fixed(Joints::to_rating) ||
      cursor.short_integer(kInt32Min, kInt32Max, &rating).empty() ||
      !cursor.fixed(Joints::line_end)) {
    return 0;
  }
  // Every line fits; the times are read last, in the order of their lines.
  // Should one not be sound, the line reader reads them again to the same
  // effect on the date read last.
  text::CivilTime end_time;
  text::CivilTime start_time;
  if (!times_.read(ending, &end_time) || !times_.read(starting, &start_time)) {
    return 0;
  }
  test_.site = kSite;
  test_.name = name;
  test_.end = end_time;
  test_.start = start_time;
  test_.end_text = ending;
  test_.start_text = starting;
  test_.elapsed = elapsed_text;
  test_.elapsed_seconds = static_cast<double>(elapsed);
  test_.operations = *operations;
  test_.addend_limit = static_cast<std::int32_t>(limit);
  test_.right = static_cast<std::int32_t>(right);
  test_.percent = static_cast<std::int32_t>(percent);
  test_.rating = static_cast<std::int32_t>(rating);
  test_.fingerprint = fingerprints_ ? fingerprint_of(test_, fingerprint_key_) : Fingerprint{};
  return cursor.used();
}

// The operations of a description text; the text of the block before is
// read again only when it differs.
std::optional<Operations> BlockReader::read_operations(std::string_view description) {
  static_assert(sizeof last_description_ <= 80, "kMostTaken counts a description of 80 bytes");
  if (description.empty() || description.size() > sizeof last_description_) return std::nullopt;
  if (description != std::string_view(last_description_, last_description_size_)) {
    last_operations_ = read_description(description);
    std::memcpy(last_description_, description.data(), description.size());
    last_description_size_ = description.size();
  }
  return last_operations_;
}

// Copies the text that line `index` of a block, just read, holds (the site,
// the name or the elapsed time) into the reader's own room, and points the
// test at the copy: the line goes away with its piece.
void BlockReader::keep_texts(int index) {
  const auto keep = [](std::string_view* text, std::string* room) {
    room->assign(*text);
    *text = *room;
  };
  if (index == 0) keep(&test_.site, &site_);
  if (index == 1) keep(&test_.name, &name_);
  if (index == 4) keep(&test_.elapsed, &elapsed_);
}

// Keeps the part of a line that a piece ends in, up to two bytes more than
// the longest block line and a byte-order mark: enough to tell that a
// longer line is too long, however long it is.
void BlockReader::keep_partial(std::string_view part) {
  // A byte-order mark may stand before a line, and does not count.
  constexpr std::size_t kKept = kMaxLineLength + 2 + kByteOrderMark.size();
  const std::size_t room = kKept - std::min(partial_.size(), kKept);
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

bool read_separator(std::string_view line, LoggedTest* test);
bool read_name(std::string_view line, LoggedTest* test);
bool read_elapsed(std::string_view line, LoggedTest* test);
bool read_description(std::string_view line, LoggedTest* test);
bool read_limit(std::string_view line, LoggedTest* test);
bool read_results(std::string_view line, LoggedTest* test);
bool read_rating(std::string_view line, LoggedTest* test);
std::optional<std::int64_t> parse_integer(std::string_view text, std::int64_t min,
                                          std::int64_t max);
std::optional<double> parse_elapsed(std::string_view text);
bool is_space(char c);

// Reads line `index` of a block (0 = the separator line) into `test`.
// Returns false, with `test` holding part of the line's facts, when the
// line is not that line of a sound block.
bool read_line(int index, std::string_view line, LoggedTest* test, TimestampReader* times) {
  switch (index) {
    case 0:
      return read_separator(line, test);
    case 1:
      return read_name(line, test);
    case 2:
      return line.starts_with(kEndHead) && times->read(line.substr(kEndHead.size()), &test->end);
    case 3:
      return line.starts_with(kStartHead) &&
             times->read(line.substr(kStartHead.size()), &test->start);
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
bool read_separator(std::string_view line, LoggedTest* test) {
  Fields fields(line);
  if (!fields.text(kSeparatorHead)) return false;
  std::string_view site = fields.rest();
  if (site.size() <= kSeparatorTail.size() || !site.ends_with(kSeparatorTail)) return false;
  site.remove_suffix(kSeparatorTail.size());
  for (char c : site) {
    if (is_space(c)) return false;
  }
  test->site = site;
  return true;
}

// The name runs to the line's last byte, a ':', so a name may hold ':' too.
bool read_name(std::string_view line, LoggedTest* test) {
  Fields fields(line);
  if (!fields.text(kNameHead)) return false;
  std::string_view name = fields.rest();
  if (!name.ends_with(kNameTail)) return false;
  name.remove_suffix(kNameTail.size());
  if (name.size() > kMaxNameLength) return false;
  for (char c : name) {
    if (is_space(c) || c == '\0') return false;
  }
  test->name = name;
  return true;
}

bool read_elapsed(std::string_view line, LoggedTest* test) {
  Fields fields(line);
  if (!fields.text(kElapsedHead)) return false;
  std::string_view elapsed = fields.rest();
  if (!elapsed.ends_with(kElapsedTail)) return false;
  elapsed.remove_suffix(kElapsedTail.size());
  const std::optional<double> seconds = parse_elapsed(elapsed);
  if (!seconds) return false;
  test->elapsed = elapsed;
  test->elapsed_seconds = *seconds;
  return true;
}

// "Test description: 20  problems, D" with D the description of a set of
// operations (operations.h).
bool read_description(std::string_view line, LoggedTest* test) {
  constexpr std::string_view head = kDescriptionLineHead.view();
  if (!line.starts_with(head)) return false;
  const std::optional<Operations> operations = records::read_description(line.substr(head.size()));
  if (!operations) return false;
  test->operations = *operations;
  return true;
}

// The limit line whose head fits the operations of the description.
bool read_limit(std::string_view line, LoggedTest* test) {
  Fields fields(line);
  if (!fields.text(limit_head(test->operations))) return false;
  const std::optional<std::int64_t> limit = fields.integer(kInt32Min, kInt32Max);
  if (!limit || !fields.at_end()) return false;
  test->addend_limit = static_cast<std::int32_t>(*limit);
  return true;
}

// "Results: R right out of 20, grade P% / G", where P must be R's share of
// the problems in percent and G the grade of P.
bool read_results(std::string_view line, LoggedTest* test) {
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
  test->right = static_cast<std::int32_t>(*right);
  test->percent = shown;
  return true;
}

bool read_rating(std::string_view line, LoggedTest* test) {
  Fields fields(line);
  if (!fields.text(kRatingHead)) return false;
  const std::optional<std::int64_t> rating = fields.integer(kInt32Min, kInt32Max);
  if (!rating || !fields.at_end()) return false;
  test->rating = static_cast<std::int32_t>(*rating);
  return true;
}

std::optional<std::int64_t> Fields::integer(std::int64_t min, std::int64_t max) {
  std::int64_t value;
  const std::size_t size = read_number_field(rest_, min, max, &value);
  if (size == 0) return std::nullopt;
  rest_.remove_prefix(size);
  return value;
}

// The number field that is all of `text`; nothing for anything else.
std::optional<std::int64_t> parse_integer(std::string_view text, std::int64_t min,
                                          std::int64_t max) {
  std::int64_t value;
  const std::size_t size = read_number_field(text, min, max, &value);
  if (size == 0 || size != text.size()) return std::nullopt;
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

bool is_space(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// The fingerprint of a test: of every field its block holds, which lay the
// block out again byte for byte (up to its line ends), each text with its
// length before it so that no two tests run together alike.
Fingerprint fingerprint_of(const LoggedTest& test, FingerprintKey key) {
  // The fields laid out in one buffer, hashed at once: the site, the name
  // and the elapsed time are at most a line long each.
  char fields[3 * (kMaxLineLength + 4) + 64];
  char* at = fields;
  const auto add_bytes = [&at](const void* bytes, std::size_t size) {
    std::memcpy(at, bytes, size);
    at += size;
  };
  const auto add_text = [&add_bytes](std::string_view text) {
    const auto size = static_cast<std::uint32_t>(text.size());
    add_bytes(&size, sizeof size);
    add_bytes(text.data(), text.size());
  };
  const auto add_time = [&add_bytes](const text::CivilTime& time) {
    const std::uint8_t parts[] = {time.month,  time.day,    time.hour,
                                  time.minute, time.second, time.weekday};
    add_bytes(&time.year, sizeof time.year);
    add_bytes(parts, sizeof parts);
  };
  add_text(test.site);
  add_text(test.name);
  add_time(test.end);
  add_time(test.start);
  add_text(test.elapsed);
  add_text(signs(test.operations).view());
  const std::int32_t numbers[] = {test.addend_limit, test.right, test.rating};
  add_bytes(numbers, sizeof numbers);
  FingerprintHasher hasher(key);
  hasher.add(std::string_view(fields, static_cast<std::size_t>(at - fields)));
  return hasher.finish();
}

}  // namespace

}  // namespace records
