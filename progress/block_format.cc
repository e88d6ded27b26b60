#include "progress/block_format.h"

#include <cstring>

#include "progress/log_numbers.h"
#include "progress/short_compare.h"

namespace progress {

namespace {

constexpr char kSeparatorHead[] = "-----------drillo1.exe: from ";
constexpr char kSeparatorTail[] = "----------------------------";
constexpr char kNameHead[] = "Test results for ";
constexpr char kEndHead[] = "Ending time:    ";
constexpr char kStartHead[] = "Starting time:  ";
constexpr char kElapsedHead[] = "Elapsed time:   ";
constexpr char kElapsedTail[] = " seconds.";
constexpr char kDescription[] =
    "Test description: 20  problems, mixed addition/subtraction (random 50/50)";
constexpr char kLimitHead[] = "Addend limits 0 through ";
constexpr char kResultsHead[] = "Results: ";
constexpr char kResultsMiddle[] = " right out of 20, grade ";
constexpr char kResultsPercent[] = "% / ";
constexpr char kRatingHead[] = "Time/performance rating: ";

constexpr std::size_t kSeparatorHeadSize = sizeof kSeparatorHead - 1;
constexpr std::size_t kSeparatorTailSize = sizeof kSeparatorTail - 1;
constexpr std::int64_t kInt32Min = -2147483648LL;
constexpr std::int64_t kInt32Max = 2147483647LL;
// "Www Mmm DD hh:mm:ss " before a timestamp's year, and the longest year.
constexpr std::size_t kTimeHeadSize = 20;
constexpr std::size_t kMaxYearSize = 19;
// Short texts are copied in one piece of this size when the bytes are there.
constexpr std::size_t kCopyPiece = 16;

static_assert(sizeof LoggedTest::elapsed_bytes >= kCopyPiece);
static_assert(sizeof LoggedTest::name_bytes >= kCopyPiece);

bool is_space(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Walks a block's lines from the front of the input: fixed texts and fields
// in turn, then each line's end. Every step returns false, leaving the
// cursor anywhere, when the bytes do not fit.
class LineCursor {
 public:
  explicit LineCursor(std::string_view bytes)
      : origin_(bytes.data()), line_(origin_), at_(origin_), end_(origin_ + bytes.size()) {}

  // How many bytes the lines finished so far take.
  std::size_t taken() const { return static_cast<std::size_t>(line_ - origin_); }

  // The fixed text `expected`. Its size is known where it is called, so the
  // compiler compares it inline.
  template <std::size_t N>
  bool text(const char (&expected)[N]) {
    constexpr std::size_t size = N - 1;
    if (available() < size || !same<size>(at_, expected)) return false;
    at_ += size;
    return true;
  }

  // Whether the next bytes are `expected`; takes them when they are.
  bool take(std::string_view expected) {
    if (available() < expected.size() ||
        !same_bytes(std::string_view(at_, expected.size()), expected)) {
      return false;
    }
    at_ += expected.size();
    return true;
  }

  // The bytes up to the first one for which `stop` holds (or the end of the
  // input), at most `max` of them; false when more than `max` come before.
  // The first `head` bytes are taken whatever they are (none may be
  // missing).
  template <typename Stop>
  bool token(std::size_t max, Stop stop, std::string_view* token, std::size_t head = 0) {
    if (available() < head) return false;
    const char* from = at_;
    const char* limit = available() > max ? at_ + max + 1 : end_;
    at_ += head;
    while (at_ < limit && !stop(*at_)) ++at_;
    if (static_cast<std::size_t>(at_ - from) > max) return false;
    *token = std::string_view(from, static_cast<std::size_t>(at_ - from));
    return true;
  }

  // A "%d" integer in [min, max], up to the first byte that cannot be part
  // of one.
  bool decimal(std::int64_t min, std::int64_t max, std::int64_t* value) {
    // Most are a few digits, not 0, without a sign: read those at once.
    if (at_ < end_ && at_[0] >= '1' && at_[0] <= '9') {
      std::int64_t number = at_[0] - '0';
      const char* next = at_ + 1;
      while (next < end_ && next - at_ < 10 && is_digit(*next))
        number = number * 10 + (*next++ - '0');
      if (next == end_ || (!is_digit(*next) && *next != '-')) {
        if (number < min || number > max) return false;
        at_ = next;
        *value = number;
        return true;
      }
    }
    std::string_view digits;
    return token(
               19, [](char c) { return !is_digit(c) && c != '-'; }, &digits) &&
           parse_decimal(digits, min, max, value);
  }

  // Copies `text`, which lies in the input, into `bytes`, which has room for
  // kCopyPiece bytes at least. A copy of constant size is a move or two; one
  // of unknown size may become a slow string instruction.
  void copy(std::string_view text, char* bytes) const {
    if (text.size() <= kCopyPiece && static_cast<std::size_t>(end_ - text.data()) >= kCopyPiece) {
      std::memcpy(bytes, text.data(), kCopyPiece);
    } else {
      std::memcpy(bytes, text.data(), text.size());
    }
  }

  // The end of line `index`, after at most kMaxLineLength bytes of text;
  // the next line starts after it. Records in `test` whether it was CR LF.
  bool finish(int index, LoggedTest* test) {
    if (static_cast<std::size_t>(at_ - line_) > kMaxLineLength) return false;
    const auto bit = static_cast<std::uint16_t>(1u << index);
    if (at_ < end_ && at_[0] == '\n') {
      at_ += 1;
      test->cr_line_ends &= static_cast<std::uint16_t>(~bit);
    } else if (available() >= 2 && at_[0] == '\r' && at_[1] == '\n') {
      at_ += 2;
      test->cr_line_ends |= bit;
    } else {
      return false;
    }
    line_ = at_;
    return true;
  }

  // Goes back to the start of the current line.
  void restart_line() { at_ = line_; }

  // The text of the ending time of the block read, once it is read.
  void set_ending_time(std::string_view text) { ending_time_ = text; }
  std::string_view ending_time() const { return ending_time_; }

 private:
  std::size_t available() const { return static_cast<std::size_t>(end_ - at_); }

  // Compilers expand memcmp inline up to 32 bytes at least; longer texts
  // are compared in such pieces.
  template <std::size_t Size>
  static bool same(const char* a, const char* b) {
    if constexpr (Size > 32) {
      return std::memcmp(a, b, 32) == 0 && same<Size - 32>(a + 32, b + 32);
    } else {
      return std::memcmp(a, b, Size) == 0;
    }
  }

  const char* origin_;  // where the input starts
  const char* line_;    // where the current line starts
  const char* at_;
  const char* end_;
  std::string_view ending_time_;
};

bool read_line(int index, LineCursor& line, LoggedTest* test);
void fetch_ahead(std::string_view bytes);
bool read_separator(LineCursor& line, LoggedTest* test);
bool read_name(LineCursor& line, LoggedTest* test);
bool read_time_line(int index, LineCursor& line, LoggedTest* test);
bool same_date(std::string_view a, std::string_view b);
bool read_elapsed(LineCursor& line, LoggedTest* test);
bool read_description(LineCursor& line, LoggedTest* test);
bool read_limit(LineCursor& line, LoggedTest* test);
bool read_results(LineCursor& line, LoggedTest* test);
bool read_rating(LineCursor& line, LoggedTest* test);
std::string_view grade_text(int percent);

}  // namespace

std::size_t read_block_line(int index, std::string_view bytes, LoggedTest* test) {
  LineCursor line(bytes);
  return read_line(index, line, test) ? line.taken() : 0;
}

std::size_t read_block(std::string_view bytes, LoggedTest* test) {
  fetch_ahead(bytes);
  LineCursor line(bytes);
  const bool whole = read_separator(line, test) && read_name(line, test) &&
                     read_time_line(2, line, test) && read_time_line(3, line, test) &&
                     read_elapsed(line, test) && read_description(line, test) &&
                     read_limit(line, test) && read_results(line, test) && read_rating(line, test);
  return whole ? line.taken() : 0;
}

const char* letter_grade(int percent) { return grade_text(percent).data(); }

namespace {

bool read_line(int index, LineCursor& line, LoggedTest* test) {
  switch (index) {
    case 0:
      return read_separator(line, test);
    case 1:
      return read_name(line, test);
    case 2:
    case 3:
      return read_time_line(index, line, test);
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

// Asks the processor for the input a few blocks ahead of the one being
// read. The thread that reads the input wrote it from another core, and
// without this, parsing waits for each new cache line in turn.
void fetch_ahead(std::string_view bytes) {
#if defined(__GNUC__)
  constexpr std::size_t kAhead = 1024;
  constexpr std::size_t kCacheLine = 64;
  constexpr std::size_t kCacheLines = 7;  // a block and a bit
  if (bytes.size() < kAhead + kCacheLines * kCacheLine) return;
  for (std::size_t i = 0; i < kCacheLines; ++i)
    __builtin_prefetch(bytes.data() + kAhead + i * kCacheLine);
#else
  static_cast<void>(bytes);
#endif
}

// The site name and the hyphens after it hold no whitespace, so they run up
// to the line end; the site is all but the last twenty-eight of them, and a
// site whose name ends in '-' reads too.
bool read_separator(LineCursor& line, LoggedTest* test) {
  if (!line.text(kSeparatorHead)) return false;
  // Mostly the site is the one of the block before, which was checked
  // already: then only the hyphens and the line end are left to see.
  if (test->site_size > 0 && line.take(test->site()) && line.text(kSeparatorTail) &&
      line.finish(0, test)) {
    return true;
  }
  line.restart_line();
  std::string_view rest;
  if (!line.text(kSeparatorHead) ||
      !line.token(kMaxLineLength - kSeparatorHeadSize, is_space, &rest) ||
      rest.size() <= kSeparatorTailSize ||
      std::memcmp(rest.data() + rest.size() - kSeparatorTailSize, kSeparatorTail,
                  kSeparatorTailSize) != 0 ||
      !line.finish(0, test)) {
    return false;
  }
  test->site_size = rest.size() - kSeparatorTailSize;
  std::memcpy(test->site_bytes, rest.data(), test->site_size);
  return true;
}

// The name runs to the line's last byte, a ':', so a name may hold ':' too.
bool read_name(LineCursor& line, LoggedTest* test) {
  std::string_view name;
  if (!line.text(kNameHead) ||
      !line.token(
          kMaxNameLength + 1, [](char c) { return is_space(c) || c == '\0'; }, &name) ||
      name.empty() || name.back() != ':') {
    return false;
  }
  name.remove_suffix(1);
  line.copy(name, test->name_bytes);
  test->name_size = name.size();
  return line.finish(1, test);
}

// A timestamp (or the placeholder) up to the line end: twenty bytes of fixed
// shape, then the year, right-aligned in four places or longer.
bool read_time_line(int index, LineCursor& line, LoggedTest* test) {
  const bool ending = index == 2;
  std::string_view text;
  if (!(ending ? line.text(kEndHead) : line.text(kStartHead)) ||
      !line.token(
          kTimeHeadSize + kMaxYearSize,
          [](char c) { return c != ' ' && c != '-' && c != '?' && !is_digit(c); }, &text,
          kTimeHeadSize)) {
    return false;
  }
  // A test mostly starts on the day it ends: then the starting time's date
  // is read already, and only its time of day is left.
  if (ending) {
    line.set_ending_time(text);
  } else if (same_date(text, line.ending_time()) && test->end.known()) {
    LogTime start = test->end;
    if (!parse_time_of_day(text, &start)) return false;
    test->start = start;
    return line.finish(index, test);
  }
  return parse_log_time(text, ending ? &test->end : &test->start) && line.finish(index, test);
}

// Whether two timestamp texts differ in their time of day at most.
bool same_date(std::string_view a, std::string_view b) {
  constexpr std::size_t kTimeOfDay = 11;  // "hh:mm:ss" starts here
  constexpr std::size_t kYear = 19;       // " YYYY" starts here
  return a.size() == b.size() && a.size() > kYear &&
         same_bytes(a.substr(0, kTimeOfDay), b.substr(0, kTimeOfDay)) &&
         same_bytes(a.substr(kYear), b.substr(kYear));
}

bool read_elapsed(LineCursor& line, LoggedTest* test) {
  std::string_view elapsed;
  if (!line.text(kElapsedHead) ||
      !line.token(
          kMaxElapsedSize, [](char c) { return c == ' ' || c == '\r' || c == '\n'; }, &elapsed) ||
      !line.text(kElapsedTail) || !parse_elapsed(elapsed, &test->elapsed_seconds)) {
    return false;
  }
  line.copy(elapsed, test->elapsed_bytes);
  test->elapsed_size = elapsed.size();
  return line.finish(4, test);
}

bool read_description(LineCursor& line, LoggedTest* test) {
  return line.text(kDescription) && line.finish(5, test);
}

bool read_limit(LineCursor& line, LoggedTest* test) {
  std::int64_t limit = 0;
  if (!line.text(kLimitHead) || !line.decimal(kInt32Min, kInt32Max, &limit)) return false;
  test->addend_limit = static_cast<std::int32_t>(limit);
  return line.finish(6, test);
}

// "Results: R right out of 20, grade P% / G", where P must be R * 5 and G
// the grade of P.
bool read_results(LineCursor& line, LoggedTest* test) {
  std::int64_t right = 0;
  std::int64_t percent = 0;
  std::string_view grade;
  if (!line.text(kResultsHead) || !line.decimal(0, kProblems, &right) ||
      !line.text(kResultsMiddle) || !line.decimal(0, 100, &percent) ||
      !line.text(kResultsPercent) ||
      !line.token(
          2, [](char c) { return c == '\r' || c == '\n'; }, &grade)) {
    return false;
  }
  if (percent != right * 100 / kProblems ||
      !same_bytes(grade, grade_text(static_cast<int>(percent)))) {
    return false;
  }
  test->right = static_cast<int>(right);
  test->percent = static_cast<int>(percent);
  return line.finish(7, test);
}

bool read_rating(LineCursor& line, LoggedTest* test) {
  std::int64_t rating = 0;
  if (!line.text(kRatingHead) || !line.decimal(kInt32Min, kInt32Max, &rating)) return false;
  test->rating = rating;
  return line.finish(8, test);
}

// The grade scale, as views that know their sizes.
std::string_view grade_text(int percent) {
  using namespace std::string_view_literals;
  if (percent >= 98) return "A+"sv;
  if (percent >= 90) return "A"sv;
  if (percent >= 88) return "B+"sv;
  if (percent >= 80) return "B"sv;
  if (percent >= 78) return "C+"sv;
  if (percent >= 70) return "C"sv;
  if (percent >= 68) return "D+"sv;
  if (percent >= 60) return "D"sv;
  return "F"sv;
}

}  // namespace

}  // namespace progress
