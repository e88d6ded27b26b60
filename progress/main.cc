// mathdrill-progress: wires the platform's files, command line and standard
// streams to run_progress and returns its exit status.
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "console/arguments.h"
#include "console/input_file.h"
#include "console/output_file.h"
#include "console/system.h"
#include "console/utf8_terminal.h"
#include "progress/run_progress.h"

namespace {

// A log opened on the platform (console/input_file.h) as run_progress reads
// it.
class FileInput : public progress::Input {
 public:
  explicit FileInput(std::unique_ptr<console::InputFile> file) : file_(std::move(file)) {}
  std::size_t read(char* buffer, std::size_t size) override { return file_->read(buffer, size); }
  std::string read_error() const override { return file_->error(); }
  std::optional<console::FileIdentity> identity() const override { return file_->identity(); }

 private:
  std::unique_ptr<console::InputFile> file_;
};

// The platform's files: logs by name, "-" for standard input, and the page
// written whole. Failures are those of console::InputFile::open,
// console::find_file and console::write_whole_file.
class SystemFiles : public progress::Files {
 public:
  progress::OpenedInput open(const std::string& name) override {
    if (name == "-") {
      return {.input = std::make_unique<FileInput>(console::InputFile::standard_input()),
              .reason = {}};
    }
    console::OpenResult opened = console::InputFile::open(name);
    if (opened.file == nullptr) return {.input = nullptr, .reason = std::move(opened.reason)};
    return {.input = std::make_unique<FileInput>(std::move(opened.file)), .reason = {}};
  }

  std::optional<console::FoundFile> find(const std::string& name) override {
    return console::find_file(name);
  }

  console::WriteResult write(const std::string& name, std::string_view bytes) override {
    return console::write_whole_file(name, bytes);
  }
};

}  // namespace

int main(int argc, char** argv) {
  console::use_binary_standard_streams();
  // A page or an output past the file-size limit is a write error, with a
  // message, not the end of the process.
  console::ignore_file_size_signal();
  const std::vector<std::string> args = console::program_arguments(argc, argv);
  console::FdSink out(1);
  console::FdSink errors(2);
  SystemFiles files;
  // NO_COLOR counts when set and not empty (no-color.org).
  const char* no_color = std::getenv("NO_COLOR");
  return progress::run_progress(args, out, errors, files, console::utf8_terminal_output(),
                                console::colour_terminal_output(),
                                no_color != nullptr && no_color[0] != '\0');
}
