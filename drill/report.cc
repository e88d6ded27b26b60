#include "drill/report.h"

#include "records/block_writer.h"
#include "records/format.h"

namespace drill {

namespace {

std::optional<text::CivilTime> local_time_of(console::Clock& clock,
                                             std::optional<console::CalendarTime> time);

}  // namespace

files::AppendResult write_report(const TestRecord& record, console::ConsoleOutput& out,
                                 console::Clock& clock, files::Appender& log) {
  using console::line_end;
  const records::TestFacts facts =
      records::test_facts({.name = record.name,
                           .operations = record.operations,
                           .addend_limit = record.addend_limit,
                           .right_count = record.right_count,
                           .elapsed = console::time_difference(record.end_time, record.start_time),
                           .start = local_time_of(clock, record.start_time),
                           .end = local_time_of(clock, record.end_time)});

  // A timestamp's line ends in a plain newline: the line after it follows
  // before anything is flushed.
  out << records::kNameHead << facts.name << records::kNameTail << line_end;
  out << records::kEndHead << facts.end.view() << "\n";
  out << records::kStartHead << facts.start.view() << "\n";
  out << records::kElapsedHead << facts.elapsed << records::kElapsedTail << line_end << line_end;
  out << records::kDescriptionHead << facts.problem_count << " " << records::kProblemsHead
      << records::description(facts.operations).view() << line_end;
  out << records::limit_head(facts.operations) << facts.addend_limit << line_end;
  out << "You got " << facts.right_count << " right out of " << facts.problem_count << " which is "
      << facts.percent << "% -- so your grade is " << facts.grade << line_end;
  out << "Timed performance score is " << facts.score << line_end;

  // The whole block goes to the log in one append, after the console part
  // of the report: an interrupt before this point leaves no trace in it.
  return log.append(records::write_block(facts).view());
}

files::AppendResult write_answers(const TestRecord& record, console::Clock& clock,
                                  files::Appender& answers) {
  const records::AnswerLines lines =
      records::answer_lines({.start = local_time_of(clock, record.start_time),
                             .name = record.name,
                             .operations = record.operations,
                             .limit = record.addend_limit,
                             .answers = record.answers});
  return answers.append(lines.view());
}

records::Timestamp local_timestamp(console::Clock& clock,
                                   std::optional<console::CalendarTime> time) {
  return records::timestamp_text(local_time_of(clock, time));
}

namespace {

// `time` broken down in the clock's local time; nothing when there is no
// time or it has no breakdown.
std::optional<text::CivilTime> local_time_of(console::Clock& clock,
                                             std::optional<console::CalendarTime> time) {
  if (!time) return std::nullopt;
  return clock.local_time(*time);
}

}  // namespace

}  // namespace drill
