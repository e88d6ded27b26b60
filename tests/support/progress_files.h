// mathdrill-progress run in-process for its tests: log files in memory
// (MemoryFiles), a run of the program on them, the bytes of the files in
// progress/testdata, and a block read back as the program reads it (and
// kept beyond the reader). Blocks
// to put in those files come from transcript.h (BlockFacts).
#ifndef TESTS_SUPPORT_PROGRESS_FILES_H_
#define TESTS_SUPPORT_PROGRESS_FILES_H_

#include <cstddef>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "progress/run_progress.h"
#include "records/block_reader.h"
#include "tests/support/transcript.h"

namespace testing_support {

// The bytes of a file in the source tree's progress/testdata folder.
std::string testdata(std::string_view name);

// Files in memory. A name not among the inputs (or links to them) cannot be
// opened or found. Each input is one file, whose identity is its place in
// `inputs`.
class MemoryFiles : public progress::Files {
 public:
  files::Status open(const std::string& name, std::unique_ptr<progress::Input>* input) override;
  std::optional<files::FoundFile> find(const std::string& name) override;
  files::WriteResult write(const std::string& name, std::string_view bytes) override;

  std::map<std::string, std::string> inputs;
  // Other names of inputs: a link's name, and the input's.
  std::map<std::string, std::string> links;
  // Inputs that are not regular files (a folder, a device).
  std::set<std::string> irregular;
  // Inputs that end in this read error after their bytes.
  std::map<std::string, std::string> read_errors;
  // Names whose writing fails with "Permission denied".
  std::set<std::string> unwritable;
  // Inputs found as files the user may not write.
  std::set<std::string> read_only;
  std::map<std::string, std::string> written;
  // How many bytes one read hands out at most.
  std::size_t chunk = 4096;
  std::vector<std::string> opened;
};

// The test of `block` as records::BlockReader reads it, or nothing when it
// reads no test from the block's text. Its texts are kept (kept_test).
std::optional<records::LoggedTest> read_test(const BlockFacts& block);

// A copy of `test` whose texts (site, name, elapsed time) stay valid as
// long as the test program runs, where the reader's stay valid only until
// it reads on: for tests that keep the tests they read.
records::LoggedTest kept_test(const records::LoggedTest& test);

// What one run of run_progress gave.
struct RunResult {
  int status = -1;
  std::string out;
  std::string errors;
};

// What the output stands for as to colours: a terminal that shows them,
// and whether NO_COLOR is set.
struct Terminal {
  bool colour = false;
  bool no_color = false;
};

// Runs mathdrill-progress on `args` with `files`; `utf8` says whether its
// output is a UTF-8 terminal.
RunResult run_progress_on(const std::vector<std::string>& args, MemoryFiles& files,
                          bool utf8 = false, const Terminal& terminal = {});

}  // namespace testing_support

#endif  // TESTS_SUPPORT_PROGRESS_FILES_H_
