# The drill and every test built with Clang's AddressSanitizer and
# UndefinedBehaviorSanitizer, warnings as errors; a sanitizer report in a
# test, or in a drill that a process test runs, fails that test.
set -euo pipefail
source .ci/lib.sh
need_packages clang libclang-rt-14-dev

# LeakSanitizer cannot work under a tracer; where it cannot, leak checks are
# turned off (the variable overrides the preset's options) instead of every
# test failing on that.
probe=$(mktemp -d)
trap 'rm -rf "$probe"' EXIT
printf 'int main() { return 0; }\n' >"$probe/probe.cc"
clang++ -fsanitize=address "$probe/probe.cc" -o "$probe/probe"
if ! ASAN_OPTIONS=detect_leaks=1 "$probe/probe" 2>"$probe/errors"; then
  echo "LeakSanitizer does not work here, so leak checks are off:"
  cat "$probe/errors"
  export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
fi

cmake --workflow --preset asan
