// Fuzz target for mathdrill-progress's reading of results logs. The data is
// a log (cut to 256 KiB to keep runs fast), its first two bytes choosing how
// it arrives: in pieces of varying sizes, read in chunks of a varying size.
// The target reads it with the records reader that way and as one piece, and
// aborts on anything that must never happen, whatever the log holds:
// - both readings hand out the same blocks and the same counts;
// - every block handed out is valid: its lines, written again from the
//   facts read (by this target's own writer), are byte for byte the lines
//   of the log it came from, each at most 4096 bytes; its answers right,
//   percent and grade agree; its name and site hold no whitespace;
// - the counts add up: nine lines a block plus the lines skipped are all the
//   lines; the stretches of skipped lines kept are in order, apart, and
//   inside no block;
// - the whole program, run in-process on the log (for one input in four)
//   for the table, the CSV and the page, ends with status 0 and writes one
//   CSV row per block.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "console/byte_stream.h"
#include "progress/block_format.h"
#include "progress/log_time.h"
#include "progress/records_reader.h"
#include "progress/run_progress.h"

namespace {

constexpr std::size_t kMaxInput = 256 * 1024;

[[noreturn]] void fail(const char* problem, std::uint64_t line = 0) {
  std::fprintf(stderr, "records_fuzz: %s (line %llu)\n", problem,
               static_cast<unsigned long long>(line));
  std::abort();
}

void check(bool condition, const char* problem, std::uint64_t line = 0) {
  if (!condition) fail(problem, line);
}

// Hands out the log in pieces whose sizes follow a small generator.
class PiecesSource : public console::ByteSource {
 public:
  PiecesSource(std::string_view bytes, std::uint32_t seed) : bytes_(bytes), state_(seed | 1) {}

  std::size_t read(char* buffer, std::size_t size) override {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    // Mostly small pieces, now and then a large one.
    const std::size_t piece = state_ % 8 == 0 ? 1 + state_ % 70000 : 1 + state_ % 97;
    const std::size_t n = std::min({piece, size, bytes_.size() - at_});
    std::memcpy(buffer, bytes_.data() + at_, n);
    at_ += n;
    return n;
  }

 private:
  std::string_view bytes_;
  std::uint32_t state_;
  std::size_t at_ = 0;
};

// Hands out the log as fast as it is asked for.
class WholeSource : public console::ByteSource {
 public:
  explicit WholeSource(std::string_view bytes) : bytes_(bytes) {}

  std::size_t read(char* buffer, std::size_t size) override {
    const std::size_t n = std::min(size, bytes_.size() - at_);
    std::memcpy(buffer, bytes_.data() + at_, n);
    at_ += n;
    return n;
  }

 private:
  std::string_view bytes_;
  std::size_t at_ = 0;
};

// A block as this target writes it from its facts.
struct Written {
  std::string site;
  std::string name;
  std::string end;
  std::string start;
  std::string elapsed;
  std::int64_t limit;
  int right;
  int percent;
  std::int64_t rating;
  std::uint16_t cr_line_ends;
  std::uint64_t first_line;
};

// What one reading handed out.
struct Reading {
  std::vector<Written> blocks;
  progress::ReadCounts counts;
};

std::string grade_of(int percent) {
  static const std::pair<int, const char*> kScale[] = {
      {98, "A+"}, {90, "A"}, {88, "B+"}, {80, "B"}, {78, "C+"}, {70, "C"}, {68, "D+"}, {60, "D"}};
  for (const auto& [least, grade] : kScale) {
    if (percent >= least) return grade;
  }
  return "F";
}

// "%.3s %.3s %02d %02d:%02d:%02d %4lld", or the placeholder.
std::string time_text(const progress::LogTime& time) {
  if (!time.known()) return "??? ??? ?? ??:??:?? ????";
  static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  check(time.weekday < 7 && time.month >= 1 && time.month <= 12, "time fields out of range");
  char text[64];
  std::snprintf(text, sizeof text, "%.3s %.3s %02d %02d:%02d:%02d %4lld", kDays[time.weekday],
                kMonths[time.month - 1], time.day, time.hour, time.minute, time.second,
                static_cast<long long>(time.year));
  return text;
}

Written facts_of(const progress::LoggedTest& test) {
  return {std::string(test.site()),
          std::string(test.name()),
          time_text(test.end),
          time_text(test.start),
          std::string(test.elapsed_text()),
          test.addend_limit,
          test.right,
          test.percent,
          test.rating,
          test.cr_line_ends,
          test.first_line};
}

// The nine lines of a block, without their line ends.
std::vector<std::string> lines_of(const Written& block) {
  return {
      "-----------drillo1.exe: from " + block.site + "----------------------------",
      "Test results for " + block.name + ":",
      "Ending time:    " + block.end,
      "Starting time:  " + block.start,
      "Elapsed time:   " + block.elapsed + " seconds.",
      "Test description: 20  problems, mixed addition/subtraction (random 50/50)",
      "Addend limits 0 through " + std::to_string(block.limit),
      "Results: " + std::to_string(block.right) + " right out of 20, grade " +
          std::to_string(block.percent) + "% / " + grade_of(block.percent),
      "Time/performance rating: " + std::to_string(block.rating),
  };
}

bool has_space(std::string_view text) {
  for (char c : text) {
    if (c == ' ' || (c >= '\t' && c <= '\r')) return true;
  }
  return false;
}

Reading read(console::ByteSource& source, std::size_t chunk) {
  progress::RecordsReader reader(source, chunk);
  Reading reading;
  while (const progress::LoggedTest* test = reader.next()) {
    reading.blocks.push_back(facts_of(*test));
    check(test->elapsed_text().size() <= 13, "elapsed text too long", test->first_line);
    const double seconds = std::strtod(std::string(test->elapsed_text()).c_str(), nullptr);
    check(seconds == test->elapsed_seconds ||
              std::abs(seconds - test->elapsed_seconds) <= std::abs(seconds) * 1e-12,
          "elapsed seconds differ from their text", test->first_line);
  }
  reading.counts = reader.counts();
  return reading;
}

// The log's lines as an independent split finds them: up to each LF, and
// a last one without.
std::vector<std::string_view> split_lines(std::string_view log) {
  std::vector<std::string_view> lines;
  std::size_t at = 0;
  while (at < log.size()) {
    const std::size_t newline = log.find('\n', at);
    const std::size_t end = newline == std::string_view::npos ? log.size() : newline + 1;
    lines.push_back(log.substr(at, end - at));
    at = end;
  }
  return lines;
}

void check_blocks(const Reading& reading, const std::vector<std::string_view>& lines) {
  std::uint64_t previous_end = 0;
  for (const Written& block : reading.blocks) {
    check(block.first_line > previous_end, "blocks overlap or go back", block.first_line);
    check(block.first_line + 8 <= lines.size(), "block past the last line", block.first_line);
    previous_end = block.first_line + 8;
    check(!block.site.empty() && !has_space(block.site), "bad site", block.first_line);
    check(block.name.size() <= 255 && !has_space(block.name) &&
              block.name.find('\0') == std::string::npos,
          "bad name", block.first_line);
    check(block.right >= 0 && block.right <= 20 && block.percent == block.right * 5,
          "answers right and percent disagree", block.first_line);
    const std::vector<std::string> written = lines_of(block);
    for (std::size_t i = 0; i < written.size(); ++i) {
      const std::uint64_t number = block.first_line + i;
      const bool cr = (block.cr_line_ends >> i & 1) != 0;
      check(written[i].size() <= progress::kMaxLineLength, "line too long", number);
      check(lines[number - 1] == written[i] + (cr ? "\r\n" : "\n"),
            "block does not write back to its lines", number);
    }
  }
  const progress::ReadCounts& counts = reading.counts;
  check(counts.tests == reading.blocks.size(), "tests miscounted");
  check(counts.lines == lines.size(), "lines miscounted");
  check(counts.tests * progress::kBlockLines + counts.skipped_lines == counts.lines,
        "block and skipped lines do not add up");
  check(counts.skipped_ranges <= counts.skipped_lines, "more stretches than lines skipped");
  std::uint64_t after = 0;
  const std::size_t kept = std::min<std::uint64_t>(counts.skipped_ranges, 5);
  for (std::size_t i = 0; i < kept; ++i) {
    const progress::LineRange& range = counts.first_ranges[i];
    check(range.first > after && range.first <= range.last && range.last <= counts.lines,
          "skipped stretches out of order", range.first);
    // A stretch lies apart from the one before, and inside no block.
    check(range.first > after + 1 || after == 0, "skipped stretches touch", range.first);
    for (const Written& block : reading.blocks) {
      check(range.last < block.first_line || range.first > block.first_line + 8,
            "skipped lines inside a block", range.first);
    }
    after = range.last;
  }
}

bool same(const Reading& a, const Reading& b) {
  if (a.blocks.size() != b.blocks.size()) return false;
  for (std::size_t i = 0; i < a.blocks.size(); ++i) {
    if (lines_of(a.blocks[i]) != lines_of(b.blocks[i]) ||
        a.blocks[i].cr_line_ends != b.blocks[i].cr_line_ends ||
        a.blocks[i].first_line != b.blocks[i].first_line) {
      return false;
    }
  }
  return a.counts.lines == b.counts.lines && a.counts.skipped_lines == b.counts.skipped_lines &&
         a.counts.skipped_ranges == b.counts.skipped_ranges &&
         a.counts.first_ranges == b.counts.first_ranges;
}

// The log as the program's one input file, and its page in memory.
class LogFiles : public progress::Files {
 public:
  explicit LogFiles(std::string_view log) : log_(log) {}

  std::unique_ptr<progress::Input> open(const std::string&, std::string*) override {
    return std::make_unique<LogInput>(log_);
  }
  bool write(const std::string&, std::string_view bytes, std::string*) override {
    page = std::string(bytes);
    return true;
  }

  std::string page;

 private:
  class LogInput : public progress::Input {
   public:
    explicit LogInput(std::string_view bytes) : source_(bytes, 0x5eed) {}
    std::size_t read(char* buffer, std::size_t size) override { return source_.read(buffer, size); }
    std::string read_error() const override { return ""; }

   private:
    PiecesSource source_;
  };

  std::string_view log_;
};

class StringSink : public console::ByteSink {
 public:
  bool write(const char* data, std::size_t size) override {
    bytes.append(data, size);
    return true;
  }
  std::string bytes;
};

void run_program(std::string_view log, std::uint64_t tests) {
  LogFiles files(log);
  StringSink out;
  StringSink errors;
  check(progress::run_progress({"--html", "page.html", "log.txt"}, out, errors, files, true) == 0,
        "table run failed");
  check(files.page.ends_with("</html>\n"), "page not written whole");
  StringSink csv;
  check(progress::run_progress({"--csv", "log.txt"}, csv, errors, files, false) == 0,
        "CSV run failed");
  std::uint64_t rows = 0;
  for (std::size_t at = csv.bytes.find("\r\n"); at != std::string::npos;
       at = csv.bytes.find("\r\n", at + 2)) {
    ++rows;
  }
  // Names hold no CR or LF, so every CR LF ends a row.
  check(rows == tests + 1, "CSV rows and blocks disagree");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::uint32_t seed = static_cast<std::uint32_t>(data[0]) << 8 | data[1];
  const std::string_view log(reinterpret_cast<const char*>(data + 2),
                             std::min(size - 2, kMaxInput));
  const std::vector<std::string_view> lines = split_lines(log);

  PiecesSource pieces(log, seed);
  const Reading in_pieces = read(pieces, 1 + seed % 5000);
  check_blocks(in_pieces, lines);

  WholeSource whole(log);
  const Reading at_once = read(whole, 1 << 16);
  check(same(in_pieces, at_once), "the pieces the log came in changed what was read");

  // The program's outputs depend on the blocks alone, which the checks above
  // cover; running it for one input in four keeps the runs fast (it sets up
  // buffers of megabytes for each file).
  if (seed % 4 == 0) run_program(log, at_once.blocks.size());
  return 0;
}
