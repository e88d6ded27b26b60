// Appending whole blocks to a file: the results log writes each test's block
// through an Appender, so that the block lands entire or not at all, and a
// block that could not be stored is reported with the system's reason. The
// drill's report uses the interface; main() plugs in FileAppender, whose
// POSIX and Windows implementations are append_file_posix.cc and
// append_file_windows.cc; tests plug in an in-memory appender.
#ifndef FILES_APPEND_FILE_H_
#define FILES_APPEND_FILE_H_

#include <cstddef>
#include <string_view>

namespace files {

// How one append went. `reason` is the system's text for a failure, e.g.
// "Permission denied", in storage that outlives the call; empty when stored.
struct AppendResult {
  bool stored = true;
  std::string_view reason;
};

class Appender {
 public:
  virtual ~Appender() = default;
  // Appends `block` at the end, all of it in one piece. When the target
  // cannot be opened or written: `stored` false with the reason, and no part
  // of the block stays.
  virtual AppendResult append(std::string_view block) = 0;
  // The target's name as the user knows it, for messages ("records.txt").
  virtual std::string_view name() const = 0;
};

// Appends blocks to the file at `path`, created if missing. Other drills may
// append to the same file at the same moment: each append holds the
// appenders' lock on the file (an fcntl lock on POSIX, a byte-range lock on
// Windows) while it writes, takes the file's size under it, and when the
// write falls short (a full disk, the file-size limit) cuts the file back to
// that size before it lets go. So a block is stored whole or not at all, and
// no append ever removes or changes bytes that it did not write. When another
// program holds the lock for more than about two seconds the block is not
// written and the failure says so. Where the file system has no locks at all,
// the block is written with one append that the system places at the end.
//
// The seam: when the file is not empty and its last byte is not LF (a copy
// cut short, a hand edit), the block is written after `line_end`, so that
// the last line there stays whole and the block starts a line of its own. A
// file that holds only a UTF-8 byte-order mark counts as empty. Where the
// file may be written but not read, its end is not known and no line end is
// added.
//
// Durability: the block, once written, is handed to the system to be stored
// on the disk (fsync, FlushFileBuffers) before the lock is let go. When the
// system reports that it could not be stored, the block is cut back off like
// a short write and the append fails with the system's reason.
//
// A file may have a first line of its own (answers.csv's header): given
// one, an append to a file that is new, empty or only a byte-order mark
// writes it, and its line end, before the block, in the same write and
// under the same lock, so that two drills never both write it.
//
// The appender keeps `path` as given, without a copy: it names the file with
// a NUL at its end, and must outlive the appender. (A copy would be a
// std::string, whose allocation brings the C++ runtime's exception machinery
// into the drill.)
class FileAppender : public Appender {
 public:
  FileAppender(const char* path, std::string_view line_end, std::string_view header = {})
      : path_(path), line_end_(line_end), header_(header) {}
  AppendResult append(std::string_view block) override;
  std::string_view name() const override { return path_; }

 private:
  const char* path_;
  std::string_view line_end_;
  std::string_view header_;
};

// The seam's rule, shared by both platforms: whether a block appended to a
// file whose last bytes are `tail` (at most the last three; all of them
// when `whole_file`) must begin with a line end. Not for an empty file, one
// that ends in LF, or one that is exactly a UTF-8 byte-order mark.
bool needs_line_end_first(std::string_view tail, bool whole_file);

// Whether a file whose last bytes are `tail` (all of them when
// `whole_file`) gets the first line of its own before a block: when it is
// empty or exactly a UTF-8 byte-order mark.
bool needs_header_first(std::string_view tail, bool whole_file);

// How many of a file's last bytes needs_line_end_first() looks at.
inline constexpr std::size_t kTailBytes = 3;

}  // namespace files

#endif  // FILES_APPEND_FILE_H_
