// main() of the test programs in cross builds (cmake/gtest_from_source.cmake):
// GoogleTest's own main, except that on Windows standard output is put in
// binary mode first. The test list that CTest reads from it to find the tests
// (gtest_discover_tests, run under Wine) then has LF line ends, not CR LF,
// which CTest would take as part of the names.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#endif

int main(int argc, char** argv) {
#ifdef _WIN32
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
