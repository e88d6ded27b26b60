// The drill without its flush to the disk, for bench/run.sh: preloaded
// (LD_PRELOAD), it stands in for the C library's fsync and fdatasync, which
// then return at once as if the data were stored. Comparing runs with and
// without it gives what the flush costs each test.
extern "C" int fsync(int) { return 0; }

extern "C" int fdatasync(int) { return 0; }
