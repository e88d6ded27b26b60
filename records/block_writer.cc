#include "records/block_writer.h"

#include "text/number_format.h"

namespace records {

namespace {

// Builds a block: texts as they are, numbers as the drill shows them.
class BlockBuilder {
 public:
  BlockBuilder& operator<<(std::string_view text) {
    text_ << text;
    return *this;
  }
  BlockBuilder& operator<<(std::int32_t value) {
    return *this << text::format_integer(value).view();
  }
  BlockBuilder& operator<<(double value) { return *this << text::format_general(value).view(); }
  BlockBuilder& operator<<(const Timestamp& time) { return *this << time.view(); }
  const BlockText& text() const { return text_; }

 private:
  BlockText text_;
};

}  // namespace

TestFacts test_facts(const FinishedTest& test) {
  TestFacts facts;
  facts.name = test.name.substr(0, test.name.find('\0'));
  facts.operations = test.operations;
  facts.addend_limit = test.addend_limit;
  facts.right_count = test.right_count;
  facts.percent = test.right_count * 100 / facts.problem_count;
  facts.grade = letter_grade(facts.percent);
  facts.elapsed = test.elapsed;
  facts.score = performance_score(test.right_count, facts.percent, test.elapsed);
  facts.start = timestamp_text(test.start);
  facts.end = timestamp_text(test.end);
  return facts;
}

std::int32_t performance_score(std::int32_t right_count, std::int32_t percent, double elapsed) {
  const std::int32_t product = right_count * percent;
  const double divisor = elapsed < 1.0 ? 1.0 : elapsed;
  return static_cast<std::int32_t>(product / divisor);
}

BlockText write_block(const TestFacts& facts) {
  BlockBuilder block;
  block << kSeparatorHead << kSite << kSeparatorTail << kLineEnd;
  block << kNameHead << facts.name << kNameTail << kLineEnd;
  block << kEndHead << facts.end << kLineEnd;
  block << kStartHead << facts.start << kLineEnd;
  block << kElapsedHead << facts.elapsed << kElapsedTail << kLineEnd;
  block << kDescriptionHead << facts.problem_count << kBlockCountGap << kProblemsHead
        << description(facts.operations).view() << kLineEnd;
  block << limit_head(facts.operations) << facts.addend_limit << kLineEnd;
  block << kResultsHead << facts.right_count << kResultsOutOf << facts.problem_count
        << kResultsGrade << facts.percent << kResultsPercent << facts.grade << kLineEnd;
  block << kRatingHead << facts.score << kLineEnd;
  return block.text();
}

}  // namespace records
