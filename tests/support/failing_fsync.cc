// A disk that cannot store what was written, for the fault tests: preloaded
// into the built drill (LD_PRELOAD), it stands in for the C library's fsync
// and fdatasync, which then always fail with EIO, as they do on a disk that
// has gone bad. POSIX only; the programs never link it.
#include <cerrno>

extern "C" int fsync(int) {
  errno = EIO;
  return -1;
}

extern "C" int fdatasync(int) {
  errno = EIO;
  return -1;
}
