// A disk that cannot store what was written, for the fault tests: preloaded
// into a built program (LD_PRELOAD), it stands in for the C library's fsync
// and fdatasync. By default they always fail with EIO, as they do on a disk
// that has gone bad. With FAILING_FSYNC=EINVAL they fail with EINVAL, as on
// a file system that cannot flush at all; with FAILING_FSYNC=hang they
// never return, which holds a program in the middle of a write. POSIX only;
// the programs never link it.
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

int fail() {
  const char* how = std::getenv("FAILING_FSYNC");
  if (how != nullptr && std::strcmp(how, "hang") == 0) {
    for (;;) ::pause();
  }
  errno = how != nullptr && std::strcmp(how, "EINVAL") == 0 ? EINVAL : EIO;
  return -1;
}

}  // namespace

extern "C" int fsync(int) { return fail(); }

extern "C" int fdatasync(int) { return fail(); }
