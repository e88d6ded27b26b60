# The README's test command: GCC, warnings as errors, every test. It runs
# with the installed GoogleTest library hidden from CMake, so that every run
# proves the path of a fresh machine that has only Debian's googletest
# sources: the cache variable set by the first configure stays for the
# workflow's own configure. The other steps use the installed library.
set -euo pipefail
rm -rf build/test
cmake --preset test -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON >/dev/null
log=$(mktemp)
trap 'rm -f "$log"' EXIT
cmake --workflow --preset test 2>&1 | tee "$log"
grep -q 'GoogleTest: built from /usr/src/googletest' "$log" ||
  { echo "the test build did not build GoogleTest from its sources"; exit 1; }
