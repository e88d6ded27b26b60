#include "progress/log_files.h"

#include <utility>

namespace progress {

namespace {

// A log opened on the platform as the run reads it.
class FileInput : public Input {
 public:
  explicit FileInput(std::unique_ptr<files::InputFile> file) : file_(std::move(file)) {}
  std::size_t read(char* buffer, std::size_t size) override { return file_->read(buffer, size); }
  files::Status read_status() const override { return file_->read_status(); }
  std::optional<files::FileIdentity> identity() const override { return file_->identity(); }

 private:
  std::unique_ptr<files::InputFile> file_;
};

}  // namespace

files::Status SystemFiles::open(const std::string& name, std::unique_ptr<Input>* input) {
  if (name == "-") {
    *input = std::make_unique<FileInput>(files::InputFile::standard_input());
    return files::Status();
  }
  std::unique_ptr<files::InputFile> file;
  files::Status opened = files::InputFile::open(name, &file);
  if (opened.ok()) *input = std::make_unique<FileInput>(std::move(file));
  return opened;
}

std::optional<files::FoundFile> SystemFiles::find(const std::string& name) {
  return files::find_file(name);
}

files::WriteResult SystemFiles::write(const std::string& name, std::string_view bytes) {
  return files::write_whole_file(name, bytes);
}

}  // namespace progress
