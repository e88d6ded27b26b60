#include "progress/system_files.h"

#include "console/file_source.h"

namespace progress {

namespace {

// A console::FileSource as an Input.
class FileInput : public Input {
 public:
  explicit FileInput(std::unique_ptr<console::FileSource> file) : file_(std::move(file)) {}
  std::size_t read(char* buffer, std::size_t size) override { return file_->read(buffer, size); }
  std::string read_error() const override { return file_->error(); }

 private:
  std::unique_ptr<console::FileSource> file_;
};

}  // namespace

std::unique_ptr<Input> SystemFiles::open(const std::string& name, std::string* reason) {
  std::unique_ptr<console::FileSource> file =
      name == "-" ? console::FileSource::standard_input() : console::FileSource::open(name, reason);
  if (file == nullptr) return nullptr;
  return std::make_unique<FileInput>(std::move(file));
}

bool SystemFiles::write(const std::string& name, std::string_view bytes, std::string* reason) {
  return console::write_whole_file(name, bytes, reason);
}

}  // namespace progress
