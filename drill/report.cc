#include "drill/report.h"

#include "console/number_format.h"
#include "console/text_buffer.h"

namespace drill {

namespace {

// The separator line that opens every block in the log.
constexpr std::string_view kSeparator =
    "-----------drillo1.exe: from www.velmora-math.com----------------------------\r\n";

// Builds one log block in a fixed buffer. Every newline is stored as CR LF,
// whatever the platform. The name is at most 255 bytes, so the block always
// fits; anything past the buffer would be dropped, never written beyond it.
class Block {
 public:
  Block& operator<<(std::string_view text) {
    text_ << text;
    return *this;
  }
  Block& operator<<(std::int32_t value) { return *this << console::format_integer(value).view(); }
  Block& operator<<(double value) { return *this << console::format_general(value).view(); }
  // A timestamp text, whose own newline is stored as CR LF too.
  Block& operator<<(const console::Timestamp& time) {
    std::string_view text = time.view();
    text.remove_suffix(1);
    return *this << text << "\r\n";
  }
  std::string_view view() const { return text_.view(); }

 private:
  console::TextBuffer<1024> text_;
};

// The name as text output shows it: up to its first NUL.
std::string_view printable(std::string_view name) { return name.substr(0, name.find('\0')); }

}  // namespace

console::AppendResult write_report(const TestRecord& record, console::ConsoleOutput& out,
                                   console::Clock& clock, console::Appender& log) {
  using console::line_end;
  const double elapsed = console::time_difference(record.end_time, record.start_time);
  const std::string_view name = printable(record.name);
  const console::Timestamp end_text = console::timestamp_text(clock, record.end_time);
  const console::Timestamp start_text = console::timestamp_text(clock, record.start_time);

  out << "Test results for " << name << ":" << line_end;
  out << "Ending time:    " << end_text.view();
  out << "Starting time:  " << start_text.view();
  out << "Elapsed time:   " << elapsed << " seconds." << line_end << line_end;
  out << "Test description: " << record.problem_count
      << " problems, mixed addition/subtraction (random 50/50)" << line_end;
  out << "Addend limits 0 through " << record.addend_limit << line_end;

  Block block;
  block << kSeparator;
  block << "Test results for " << name << ":\r\n";
  block << "Ending time:    " << end_text;
  block << "Starting time:  " << start_text;
  block << "Elapsed time:   " << elapsed << " seconds.\r\n";
  block << "Test description: " << record.problem_count
        << "  problems, mixed addition/subtraction (random 50/50)\r\n";
  block << "Addend limits 0 through " << record.addend_limit << "\r\n";

  const std::int32_t percent = record.right_count * 100 / record.problem_count;
  const char* grade = letter_grade(percent);
  out << "You got " << record.right_count << " right out of " << record.problem_count
      << " which is " << percent << "% -- so your grade is " << grade << line_end;
  block << "Results: " << record.right_count << " right out of " << record.problem_count
        << ", grade " << percent << "% / " << grade << "\r\n";

  const std::int32_t score = performance_score(record.right_count, percent, elapsed);
  out << "Timed performance score is " << score << line_end;
  block << "Time/performance rating: " << score << "\r\n";

  // The whole block goes to the log in one append, after the console part
  // of the report: an interrupt before this point leaves no trace in it.
  return log.append(block.view());
}

const char* letter_grade(std::int32_t percent) {
  if (percent >= 98) return "A+";
  if (percent >= 90) return "A";
  if (percent >= 88) return "B+";
  if (percent >= 80) return "B";
  if (percent >= 78) return "C+";
  if (percent >= 70) return "C";
  if (percent >= 68) return "D+";
  if (percent >= 60) return "D";
  return "F";
}

std::int32_t performance_score(std::int32_t right_count, std::int32_t percent, double elapsed) {
  const std::int32_t product = right_count * percent;
  const double divisor = elapsed < 1.0 ? 1.0 : elapsed;
  return static_cast<std::int32_t>(product / divisor);
}

}  // namespace drill
