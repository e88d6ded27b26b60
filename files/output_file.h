// Writing a whole file so that it is replaced all at once: mathdrill-progress's
// page. The bytes go to a new file beside the target, are stored on the disk,
// and the new file then takes the target's name, so that the old file stays
// as it was until the new one is complete, whatever goes wrong (a full disk,
// a file-size limit, a power cut). Only mathdrill-progress's main() uses it.
// The bytes land unchanged (binary mode); names are UTF-8, which on Windows
// is turned into the system's UTF-16 names. output_file_posix.cc and
// output_file_windows.cc implement it.
#ifndef FILES_OUTPUT_FILE_H_
#define FILES_OUTPUT_FILE_H_

#include <string>
#include <string_view>

namespace files {

// How writing a file went: the system's reason for a failure
// ("Permission denied"); empty when every byte was written.
struct WriteResult {
  bool written = true;
  std::string reason;
};

// Writes `bytes` to a new file in the folder of `path`, stores it on the
// disk, and renames it to `path`, replacing the file of that name (POSIX
// rename; MoveFileExW on Windows). When any step fails: not written, with the
// system's reason; the new file is removed and the file at `path`, if any,
// is left as it was.
WriteResult write_whole_file(const std::string& path, std::string_view bytes);

// Has a write past the process's file-size limit (ulimit -f) fail as a write
// error ("File too large") instead of ending the process with SIGXFSZ, for
// the page and for standard output sent to a file. Nothing to do on
// Windows, which has no such limit. Cannot fail.
void ignore_file_size_signal();

}  // namespace files

#endif  // FILES_OUTPUT_FILE_H_
