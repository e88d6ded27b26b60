#include "tests/support/progress_files.h"

#include <cstdio>
#include <functional>
#include <iterator>
#include <set>

#include "tests/support/fakes.h"

namespace testing_support {

namespace {

// An input that hands out its bytes, then ends with the given error.
class MemoryInput : public progress::Input {
 public:
  MemoryInput(std::string bytes, std::size_t chunk, std::string error, files::FileIdentity identity)
      : source_(std::move(bytes), chunk), error_(std::move(error)), identity_(identity) {}
  std::size_t read(char* buffer, std::size_t size) override {
    const std::size_t n = source_.read(buffer, size);
    ended_ = n == 0;
    return n;
  }
  files::Status read_status() const override {
    return ended_ && !error_.empty() ? files::Status::failed(error_) : files::Status();
  }
  std::optional<files::FileIdentity> identity() const override { return identity_; }

 private:
  StringSource source_;
  std::string error_;
  files::FileIdentity identity_;
  bool ended_ = false;
};

}  // namespace

std::string testdata(std::string_view name) {
  const std::string path = std::string(PROGRESS_TESTDATA) + "/" + std::string(name);
  std::string bytes;
  if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, n);
    std::fclose(file);
  }
  return bytes;
}

files::Status MemoryFiles::open(const std::string& name, std::unique_ptr<progress::Input>* input) {
  opened.push_back(name);
  const std::optional<files::FoundFile> file = find(name);
  if (!file) return files::Status::failed("No such file or directory");
  const auto link = links.find(name);
  const std::string& target = link == links.end() ? name : link->second;
  const auto error = read_errors.find(target);
  *input = std::make_unique<MemoryInput>(
      inputs.at(target), chunk, error == read_errors.end() ? "" : error->second, file->identity);
  return files::Status();
}

std::optional<files::FoundFile> MemoryFiles::find(const std::string& name) {
  const auto link = links.find(name);
  const std::string& input = link == links.end() ? name : link->second;
  const auto found = inputs.find(input);
  if (found == inputs.end()) return std::nullopt;
  return files::FoundFile{
      .identity = {.device = 1,
                   .file = static_cast<std::uint64_t>(std::distance(inputs.begin(), found))},
      .regular = !irregular.contains(input),
      .writable = !read_only.contains(input)};
}

files::WriteResult MemoryFiles::write(const std::string& name, std::string_view bytes) {
  if (unwritable.count(name) != 0) return {.written = false, .reason = "Permission denied"};
  written[name] = std::string(bytes);
  return {};
}

std::optional<records::LoggedTest> read_test(const BlockFacts& block) {
  records::BlockReader reader;
  const std::string text = block.text();
  reader.add(text);
  const records::LoggedTest* test = reader.next();
  if (test == nullptr) return std::nullopt;
  return kept_test(*test);
}

records::LoggedTest kept_test(const records::LoggedTest& test) {
  // Each text once; a set's elements never move.
  static std::set<std::string, std::less<>> texts;
  const auto keep = [](std::string_view text) -> std::string_view {
    return *texts.emplace(text).first;
  };
  records::LoggedTest kept = test;
  kept.site = keep(test.site);
  kept.name = keep(test.name);
  kept.elapsed = keep(test.elapsed);
  kept.end_text = keep(test.end_text);
  kept.start_text = keep(test.start_text);
  return kept;
}

RunResult run_progress_on(const std::vector<std::string>& args, MemoryFiles& files, bool utf8,
                          const Terminal& terminal) {
  StringSink out;
  StringSink errors;
  RunResult result;
  result.status =
      progress::run_progress(args, out, errors, files, utf8, terminal.colour, terminal.no_color);
  result.out = out.bytes();
  result.errors = errors.bytes();
  return result;
}

}  // namespace testing_support
