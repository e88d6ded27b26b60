#include "progress/file_reading.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/answers_lines.h"
#include "tests/support/fakes.h"
#include "tests/support/progress_files.h"

namespace progress {
namespace {

using Block = testing_support::BlockFacts;
using Line = testing_support::AnswerLine;

// Notes the name of each test and the problem of each answer handed over.
class Notes : public Taker {
 public:
  void take_test(const records::LoggedTest& test) override { tests.emplace_back(test.name); }
  void take_answer(const records::Answer& answer) override { problems.push_back(answer.problem); }

  std::vector<std::string> tests;
  std::vector<std::int32_t> problems;
};

class FileReadingTest : public ::testing::Test {
 protected:
  // Reads `names` in order; returns whether every read succeeded.
  bool read(const std::vector<std::string>& names) {
    Messages messages(errors_);
    FileReading reading(files_, messages, names.size() > 1);
    bool all = true;
    for (const std::string& name : names) all = reading.read(name, notes_) && all;
    return all;
  }

  testing_support::MemoryFiles files_;
  testing_support::StringSink errors_;
  Notes notes_;
};

TEST_F(FileReadingTest, TellsAnswersFromRecordsByTheFirstLine) {
  files_.inputs["log.txt"] = Block{.name = "Ann"}.text() + Block{.name = "Bo"}.text();
  files_.inputs["mixed.txt"] = "\xEF\xBB\xBF" + testing_support::answers_header() +
                               Line{.problem = 1}.text() + Line{.problem = 2}.text();
  files_.chunk = 7;  // the first line comes in many pieces
  EXPECT_TRUE(read({"log.txt", "mixed.txt"}));
  EXPECT_EQ(notes_.tests, (std::vector<std::string>{"Ann", "Bo"}));
  EXPECT_EQ(notes_.problems, (std::vector<std::int32_t>{1, 2}));
  EXPECT_EQ(errors_.bytes(), "");
}

TEST_F(FileReadingTest, ReadsEachFileOnceAndEachTestOnce) {
  const std::string answers =
      testing_support::answers_header() + Line{.problem = 1}.text() + Line{.problem = 2}.text();
  files_.inputs["a.txt"] = Block{.name = "Ann"}.text();
  files_.inputs["b.txt"] = Block{.name = "Ann"}.text() + Block{.name = "Cy"}.text();
  files_.inputs["a.csv"] = answers;
  files_.inputs["b.csv"] = answers;
  files_.links["link.txt"] = "a.txt";
  EXPECT_TRUE(read({"a.txt", "a.txt", "link.txt", "b.txt", "a.csv", "b.csv"}));
  EXPECT_EQ(notes_.tests, (std::vector<std::string>{"Ann", "Cy"}));
  EXPECT_EQ(notes_.problems, (std::vector<std::int32_t>{1, 2}));
  EXPECT_EQ(errors_.bytes(),
            "mathdrill-progress: a.txt: named more than once, read once\n"
            "mathdrill-progress: link.txt: the same file as a.txt, read once\n"
            "mathdrill-progress: b.txt: 2 tests read, 1 duplicate\n"
            "mathdrill-progress: b.csv: 2 answers read, 1 duplicate\n");
}

TEST_F(FileReadingTest, FailsOnAFileThatCannotBeOpenedOrRead) {
  files_.inputs["cut.txt"] = Block{.name = "Ann"}.text();
  files_.read_errors["cut.txt"] = "Input/output error";
  EXPECT_FALSE(read({"missing.txt"}));
  EXPECT_FALSE(read({"cut.txt"}));
  EXPECT_EQ(notes_.tests, (std::vector<std::string>{"Ann"}));
  EXPECT_NE(errors_.bytes().find("missing.txt: "), std::string::npos);
  EXPECT_NE(errors_.bytes().find("cut.txt: Input/output error"), std::string::npos);
}

}  // namespace
}  // namespace progress
