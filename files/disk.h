// Putting what was written on the disk, as both programs do before they
// call a file written: a file's bytes (fsync) and, for a file just made or
// renamed, the folder that holds its name. The locked append of the logs
// and the page written whole use it. POSIX only.
#ifndef FILES_DISK_H_
#define FILES_DISK_H_

#include <string_view>

namespace files {

// Asks the system to put what was written to `fd` on the disk. Returns 0
// when it did, or when the file system offers no such thing (EINVAL: the
// file is then as safe as that file system makes it); otherwise the errno
// value, e.g. EIO.
int store(int fd);

// Stores the folder of `path`, which holds its name, so that a file just
// made or renamed there survives a power cut. Nothing more can be done
// where that fails: the file itself is stored.
void store_folder_of(std::string_view path);

}  // namespace files

#endif  // FILES_DISK_H_
