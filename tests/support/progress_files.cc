#include "tests/support/progress_files.h"

#include <cstdio>

#include "tests/support/fakes.h"

namespace testing_support {

namespace {

// An input that hands out its bytes, then ends with the given error.
class MemoryInput : public progress::Input {
 public:
  MemoryInput(std::string bytes, std::size_t chunk, std::string error)
      : source_(std::move(bytes), chunk), error_(std::move(error)) {}
  std::size_t read(char* buffer, std::size_t size) override {
    const std::size_t n = source_.read(buffer, size);
    ended_ = n == 0;
    return n;
  }
  std::string read_error() const override { return ended_ ? error_ : std::string(); }

 private:
  StringSource source_;
  std::string error_;
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

std::unique_ptr<progress::Input> MemoryFiles::open(const std::string& name, std::string* reason) {
  opened.push_back(name);
  const auto found = inputs.find(name);
  if (found == inputs.end()) {
    *reason = "No such file or directory";
    return nullptr;
  }
  const auto error = read_errors.find(name);
  return std::make_unique<MemoryInput>(found->second, chunk,
                                       error == read_errors.end() ? "" : error->second);
}

bool MemoryFiles::write(const std::string& name, std::string_view bytes, std::string* reason) {
  if (unwritable.count(name) != 0) {
    *reason = "Permission denied";
    return false;
  }
  written[name] = std::string(bytes);
  return true;
}

RunResult run_progress_on(const std::vector<std::string>& args, MemoryFiles& files, bool utf8) {
  StringSink out;
  StringSink errors;
  RunResult result;
  result.status = progress::run_progress(args, out, errors, files, utf8);
  result.out = out.bytes();
  result.errors = errors.bytes();
  return result;
}

}  // namespace testing_support
