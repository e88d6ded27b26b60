// Fuzz target for the reading of results logs (records/block_reader.h) and
// mathdrill-progress run on them. The data is a log (cut to 256 KiB to keep
// runs fast), its first two bytes choosing the sizes of the pieces it is
// handed to the reader in. The target reads it that way and as one piece,
// and aborts on anything that must never happen, whatever the log holds:
// - both readings hand out the same blocks and the same counts, and so does
//   a reading line by line alone, without the whole-block fast path;
// - every block handed out is sound: its lines, laid out again from the
//   facts read by test support's model of the block (BlockFacts), are byte
//   for byte the lines of the log it came from, up to a CR before each LF,
//   each at most kMaxLineLength bytes; its name and site hold no
//   whitespace; its elapsed time is within kMaxElapsedSeconds;
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
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "console/byte_stream.h"
#include "progress/run_progress.h"
#include "records/block_reader.h"
#include "records/format.h"
#include "records/operations.h"
#include "tests/support/fakes.h"
#include "tests/support/transcript.h"

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

// A block as read: its facts, with the times as texts again.
struct Read {
  testing_support::BlockFacts facts;
  std::uint64_t first_line;
  records::Fingerprint fingerprint;
};

// What one reading handed out.
struct Reading {
  std::vector<Read> blocks;
  records::ReadCounts counts;
};

// The timestamp text of a time read: the layout of records/format.h with
// its day and month names, or its placeholder.
std::string time_text(const text::CivilTime& time) {
  if (!time.known()) return std::string(records::kUnknownTime);
  check(time.weekday < 7 && time.month >= 1 && time.month <= 12, "time fields out of range");
  char text[64];
  std::snprintf(text, sizeof text, "%.3s %.3s %02d %02d:%02d:%02d %4lld",
                records::kDayNames.data() + 3 * time.weekday,
                records::kMonthNames.data() + 3 * (time.month - 1), time.day, time.hour,
                time.minute, time.second, static_cast<long long>(time.year));
  return text;
}

Read read_of(const records::LoggedTest& test) {
  // A timestamp handed out as logged is the text of its time, so a row that
  // copies its digits writes what it would write from the time.
  check(test.end_text.empty() || test.end_text == time_text(test.end),
        "the end time's text is not the text of its time", test.first_line);
  check(test.start_text.empty() || test.start_text == time_text(test.start),
        "the start time's text is not the text of its time", test.first_line);
  check(test.percent == test.right * 100 / records::kProblemCount,
        "answers right and percent disagree", test.first_line);
  check(std::isfinite(test.elapsed_seconds) &&
            std::fabs(test.elapsed_seconds) <= records::kMaxElapsedSeconds &&
            test.elapsed.size() <= records::kMaxElapsedLength,
        "elapsed time beyond the drill's range", test.first_line);
  return {.facts = {.site = std::string(test.site),
                    .name = std::string(test.name),
                    .end = time_text(test.end),
                    .start = time_text(test.start),
                    .elapsed = std::string(test.elapsed),
                    .limit = std::to_string(test.addend_limit),
                    .signs = std::string(records::signs(test.operations).view()),
                    .right = test.right,
                    .rating = std::to_string(test.rating),
                    .line_end = "\n"},
          .first_line = test.first_line,
          .fingerprint = test.fingerprint};
}

// The nine lines of a block laid out again, without their line ends.
std::vector<std::string> lines_of(const testing_support::BlockFacts& facts) {
  std::vector<std::string> lines;
  const std::string text = facts.text();
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t end = text.find('\n', at);
    lines.push_back(text.substr(at, end - at));
    at = end + 1;
  }
  return lines;
}

bool has_space(std::string_view text) {
  for (char c : text) {
    if (c == ' ' || (c >= '\t' && c <= '\r')) return true;
  }
  return false;
}

// Reads the log handed over in pieces whose sizes follow `seed`, or in one
// piece without one.
// How a log is read: in the pieces a seed chooses, or as one piece; and
// with the whole-block fast path, or line by line alone.
struct HowRead {
  std::optional<std::uint32_t> seed;
  bool exact_lines_only = false;
};

Reading read(std::string_view log, HowRead how) {
  records::BlockReader reader;
  reader.make_fingerprints({.first = 0x5eed, .second = 0x1dea});
  if (how.exact_lines_only) reader.exact_lines_only();
  Reading reading;
  const auto take_tests = [&] {
    while (const records::LoggedTest* test = reader.next()) {
      reading.blocks.push_back(read_of(*test));
      const double seconds = std::strtod(std::string(test->elapsed).c_str(), nullptr);
      check(seconds == test->elapsed_seconds, "elapsed seconds differ from their text",
            test->first_line);
    }
  };
  if (how.seed) {
    PiecesSource pieces(log, *how.seed);
    static char buffer[70000];
    while (const std::size_t n = pieces.read(buffer, sizeof buffer)) {
      reader.add(std::string_view(buffer, n));
      take_tests();
    }
  } else {
    reader.add(log);
    take_tests();
  }
  reading.counts = reader.finish();
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
  constexpr std::uint64_t kLast = records::kBlockLines - 1;
  std::uint64_t previous_end = 0;
  for (const Read& block : reading.blocks) {
    check(block.first_line > previous_end, "blocks overlap or go back", block.first_line);
    check(block.first_line + kLast <= lines.size(), "block past the last line", block.first_line);
    previous_end = block.first_line + kLast;
    check(!block.facts.site.empty() && !has_space(block.facts.site), "bad site", block.first_line);
    check(block.facts.name.size() <= records::kMaxNameLength && !has_space(block.facts.name) &&
              block.facts.name.find('\0') == std::string::npos,
          "bad name", block.first_line);
    const std::vector<std::string> written = lines_of(block.facts);
    check(written.size() == records::kBlockLines, "not a block's lines", block.first_line);
    for (std::size_t i = 0; i < written.size(); ++i) {
      const std::uint64_t number = block.first_line + i;
      std::string_view line = lines[number - 1];
      // The reader passes over a byte-order mark at the start of the file
      // and before a separator line.
      if (line.starts_with(records::kByteOrderMark) && (number == 1 || i == 0)) {
        line.remove_prefix(records::kByteOrderMark.size());
      }
      check(written[i].size() <= records::kMaxLineLength, "line too long", number);
      check(line == written[i] + "\n" || line == written[i] + "\r\n",
            "block does not write back to its lines", number);
    }
  }
  const records::ReadCounts& counts = reading.counts;
  check(counts.tests == reading.blocks.size(), "tests miscounted");
  check(counts.lines == lines.size(), "lines miscounted");
  check(counts.tests * records::kBlockLines + counts.skipped_lines == counts.lines,
        "block and skipped lines do not add up");
  check(counts.skipped_ranges <= counts.skipped_lines, "more stretches than lines skipped");
  std::uint64_t after = 0;
  const std::size_t kept =
      std::min<std::uint64_t>(counts.skipped_ranges, records::ReadCounts::kRangesKept);
  for (std::size_t i = 0; i < kept; ++i) {
    const records::LineRange& range = counts.first_ranges[i];
    check(range.first > after && range.first <= range.last && range.last <= counts.lines,
          "skipped stretches out of order", range.first);
    // A stretch lies apart from the one before, and inside no block.
    check(range.first > after + 1 || after == 0, "skipped stretches touch", range.first);
    for (const Read& block : reading.blocks) {
      check(range.last < block.first_line || range.first > block.first_line + kLast,
            "skipped lines inside a block", range.first);
    }
    after = range.last;
  }
}

bool same(const Reading& a, const Reading& b) {
  if (a.blocks.size() != b.blocks.size()) return false;
  for (std::size_t i = 0; i < a.blocks.size(); ++i) {
    if (a.blocks[i].facts.text() != b.blocks[i].facts.text() ||
        a.blocks[i].first_line != b.blocks[i].first_line ||
        a.blocks[i].fingerprint != b.blocks[i].fingerprint) {
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

  files::Status open(const std::string&, std::unique_ptr<progress::Input>* input) override {
    *input = std::make_unique<LogInput>(log_);
    return files::Status();
  }
  // No page is there before, so none is refused.
  std::optional<files::FoundFile> find(const std::string&) override { return std::nullopt; }
  files::WriteResult write(const std::string&, std::string_view bytes) override {
    page = std::string(bytes);
    return {};
  }

  std::string page;

 private:
  class LogInput : public progress::Input {
   public:
    explicit LogInput(std::string_view bytes) : source_(bytes, 0x5eed) {}
    std::size_t read(char* buffer, std::size_t size) override { return source_.read(buffer, size); }
    files::Status read_status() const override { return files::Status(); }
    std::optional<files::FileIdentity> identity() const override { return std::nullopt; }

   private:
    PiecesSource source_;
  };

  std::string_view log_;
};

void run_program(std::string_view log, std::uint64_t tests) {
  LogFiles files(log);
  testing_support::StringSink out;
  testing_support::StringSink errors;
  check(progress::run_progress({"--html", "page.html", "log.txt"}, out, errors, files, true) == 0,
        "table run failed");
  check(files.page.ends_with("</html>\n"), "page not written whole");
  testing_support::StringSink csv;
  check(progress::run_progress({"--csv", "log.txt"}, csv, errors, files, false) == 0,
        "CSV run failed");
  std::uint64_t rows = 0;
  for (std::size_t at = csv.bytes().find("\r\n"); at != std::string::npos;
       at = csv.bytes().find("\r\n", at + 2)) {
    ++rows;
  }
  // Names hold no CR or LF, so every CR LF ends a row; the header comes
  // with the first test.
  check(rows == (tests == 0 ? 0 : tests + 1), "CSV rows and blocks disagree");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::uint32_t seed = static_cast<std::uint32_t>(data[0]) << 8 | data[1];
  const std::string_view log(reinterpret_cast<const char*>(data + 2),
                             std::min(size - 2, kMaxInput));
  const std::vector<std::string_view> lines = split_lines(log);

  const Reading in_pieces = read(log, {.seed = seed});
  check_blocks(in_pieces, lines);

  const Reading at_once = read(log, {.seed = std::nullopt});
  check(same(in_pieces, at_once), "the pieces the log came in changed what was read");

  // The whole-block fast path reads exactly what the line reader reads.
  const Reading line_by_line = read(log, {.seed = std::nullopt, .exact_lines_only = true});
  check(same(at_once, line_by_line), "the fast path and the line reader read differently");

  // The program's outputs depend on the blocks alone, which the checks above
  // cover; running it for one input in four keeps the runs fast.
  if (seed % 4 == 0) run_program(log, at_once.blocks.size());
  return 0;
}
