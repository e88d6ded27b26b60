#!/usr/bin/env bash
# The drill's process-cost benchmark. Builds the bench preset, then, in a
# temporary folder with TZ=UTC, runs scripted sessions of build/bench/mathdrill
# and prints six figures. Each is a ratio against a run made in the same
# benchmark (the machines are shared and noisy), printed with its target and
# whether this run meets it. Targets are reported, never asserted: the exit
# status is non-zero only when the benchmark itself cannot run (a tool is
# missing, the build fails, or a session does not run as scripted).
#
#   bash bench/run.sh             the full run (a few minutes)
#   bash bench/run.sh --quick     fewer repetitions of the timed and memory
#                                 runs, for CI's smoke run
#   bash bench/run.sh --profile   also prints the top of the session's
#                                 callgrind profile
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
quick=0
profile=0
for arg in "$@"; do
  case $arg in
    --quick) quick=1 ;;
    --profile) profile=1 ;;
    *)
      echo "usage: bash bench/run.sh [--quick] [--profile]" >&2
      exit 2
      ;;
  esac
done

# Repetitions of the noisy measurements. Instruction counts are exact and
# are taken once.
if [ "$quick" = 1 ]; then
  time_runs=50 rss_runs=5 many_rss_runs=3 fsync_runs=3
else
  time_runs=400 rss_runs=15 many_rss_runs=9 fsync_runs=9
fi
many_tests=10000
fsync_tests=200

fail() {
  echo "bench: $*" >&2
  exit 1
}

need_tool() {
  command -v "$1" >/dev/null 2>&1 ||
    fail "$1 is missing; install the Debian package $2 (apt-get install $2)"
}

need_tool cmake cmake
need_tool ninja ninja-build
need_tool valgrind valgrind
need_tool callgrind_annotate valgrind
[ -x /bin/true ] || fail "/bin/true is missing"

work=$(mktemp -d "${TMPDIR:-/tmp}/mathdrill-bench.XXXXXX")
disk_folder=
trap 'rm -rf "$work" ${disk_folder:+"$disk_folder"}' EXIT

echo "Building the bench preset (build/bench)..."
if ! (cd "$root" && cmake --preset bench && cmake --build --preset bench) >"$work/build.log" 2>&1; then
  cat "$work/build.log" >&2
  fail "the bench preset did not build"
fi
# The same drill without the hardening flags, for figure 6.
if ! (cd "$root" && cmake --preset bench -B build/bench-plain -DDRILL_HARDENING=OFF &&
  cmake --build build/bench-plain --target mathdrill) >"$work/build-plain.log" 2>&1; then
  cat "$work/build-plain.log" >&2
  fail "the drill without hardening (build/bench-plain) did not build"
fi
drill=$root/build/bench/mathdrill
plain_drill=$root/build/bench-plain/mathdrill
child_stats=$root/build/bench/bench/child_stats
floor=$root/build/bench/bench/local_time_floor
no_fsync=$root/build/bench/bench/libno_fsync.so

export TZ=UTC
cd "$work"

# ---------------------------------------------------------------------------
# Helpers

# A scripted input of $1 tests: the name, the addend limit 10, then for each
# test 20 answers and the go-again answer (y, then n after the last test).
# The answers cycle through 0..20, so some are right and most are wrong.
write_session() {
  awk -v tests="$1" 'BEGIN {
    print "Ann"
    print 10
    for (t = 0; t < tests; t++) {
      for (i = 0; i < 20; i++) print (t * 7 + i) % 21
      print (t < tests - 1) ? "y" : "n"
    }
  }'
}

# A fresh folder to run in; prints its path.
new_folder() {
  local folder
  folder=$(mktemp -d "$work/run.XXXXXX")
  echo "$folder"
}

# Instructions executed by one whole process, from the dynamic loader's first
# to the exit, as callgrind counts them. Runs in folder $1 with standard
# input piped in from file $2 and standard output kept in $1/stdout; the
# rest is the command. Fails the benchmark when the command fails.
instructions() {
  local folder=$1 input=$2
  shift 2
  local out=$folder/callgrind.out
  if ! (cd "$folder" && { cat "$input" || true; } |
    timeout 1800 valgrind --tool=callgrind --callgrind-out-file="$out" \
      --log-file="$out.log" "$@" >stdout 2>stderr); then
    cat "$out.log" "$folder/stderr" >&2 || true
    fail "$* did not run to its end under callgrind"
  fi
  awk '/^summary:/ { print $2; exit }' "$out"
}

# Checks that a drill session in folder $1 ran $2 whole tests: a report for
# each on the console, a nine-line block for each in records.txt, and the
# file's size ($3 bytes before the run) grown by exactly those blocks.
check_session() {
  local folder=$1 tests=$2 size_before=${3:-0}
  local reports lines
  reports=$(grep -c '^Test results for Ann:' "$folder/stdout" || true)
  lines=$(tail -c +$((size_before + 1)) "$folder/records.txt" 2>/dev/null | tr -d '\0' | grep -c $'\r$' || true)
  if [ "$reports" != "$tests" ] || [ "$lines" != $((9 * tests)) ]; then
    fail "the session in $folder ran $reports reports and $lines log lines, not $tests tests"
  fi
  grep -q 'Do you want to go again? (y or n) ' "$folder/stdout" ||
    fail "the session in $folder never asked to go again"
}

# The median of the numbers on standard input, one a line.
median() {
  sort -n | awk '{ v[NR] = $1 } END {
    if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# Peak resident set sizes in KiB of $1 runs of the command, run in folder $2
# with input file $3 piped in, one a line.
peak_rss_runs() {
  local runs=$1 folder=$2 input=$3
  shift 3
  local i
  for ((i = 0; i < runs; i++)); do
    (cd "$folder" && { cat "$input" || true; } | "$child_stats" rss - "$@") ||
      fail "$* failed under child_stats"
  done
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", a / b }'; }

# "met" or "NOT met" for the condition given as an awk expression.
verdict() { awk "BEGIN { print ($1) ? \"met\" : \"NOT met\" }"; }

# Prints the drill's figure against /bin/true's with its target, then the
# figure of the program that only reads the clock, for reference.
# Usage: against_true DRILL TRUE FLOOR TARGET [UNIT]
against_true() {
  local r
  r=$(ratio "$1" "$2")
  printf '   mathdrill %s%s, /bin/true %s%s: ratio %s (target at most %s): %s\n' \
    "$1" "${5:-}" "$2" "${5:-}" "$r" "$4" "$(verdict "$r <= $4")"
  printf '   for reference: a program that only reads the clock and its local time: %s\n' \
    "$(ratio "$3" "$2")"
}

# ---------------------------------------------------------------------------
# The inputs

write_session 1 >session1.txt
write_session 2 >session2.txt
write_session "$many_tests" >session_many.txt
write_session "$fsync_tests" >session_fsync.txt

echo "mathdrill benchmark: $drill"
echo "against /bin/true, TZ=UTC, in $work"
echo

# ---------------------------------------------------------------------------
# 1. One whole session: start-up, name, limit 10, 20 answers, the report
#    with its log block, "n".

f1=$(new_folder)
drill_ir=$(instructions "$f1" "$work/session1.txt" "$drill")
check_session "$f1" 1
true_ir=$(instructions "$(new_folder)" "$work/session1.txt" /bin/true)
floor_ir=$(instructions "$(new_folder)" "$work/session1.txt" "$floor")
echo "1. Instructions of one session (callgrind, whole process)"
against_true "$drill_ir" "$true_ir" "$floor_ir" 1.5

read -r drill_us true_us < <(cd "$(new_folder)" &&
  "$child_stats" time "$time_runs" "$work/session1.txt" "$drill" /bin/true) ||
  fail "the timed runs failed"
printf '   wall time, median of %d runs each: mathdrill %d us, /bin/true %d us: ratio %s (reported only)\n' \
  "$time_runs" "$drill_us" "$true_us" "$(ratio "$drill_us" "$true_us")"
echo

# ---------------------------------------------------------------------------
# 2. Peak resident memory of the same session. Alternating the runs keeps a
#    change in the machine's load from favouring either side.

f2=$(new_folder)
: >"$f2/drill.rss"
: >"$f2/true.rss"
: >"$f2/floor.rss"
for ((i = 0; i < rss_runs; i++)); do
  peak_rss_runs 1 "$f2" "$work/session1.txt" "$drill" >>"$f2/drill.rss"
  peak_rss_runs 1 "$f2" "$work/session1.txt" /bin/true >>"$f2/true.rss"
  peak_rss_runs 1 "$f2" "$work/session1.txt" "$floor" >>"$f2/floor.rss"
done
drill_kib=$(median <"$f2/drill.rss")
true_kib=$(median <"$f2/true.rss")
floor_kib=$(median <"$f2/floor.rss")
echo "2. Peak resident memory of the same session (wait4 ru_maxrss, median of $rss_runs runs)"
against_true "$drill_kib" "$true_kib" "$floor_kib" 1.3 " KiB"
echo

# ---------------------------------------------------------------------------
# 3. A session whose records.txt is already 1 GiB (sparse) against one with
#    no records.txt.

f3none=$(new_folder)
f3big=$(new_folder)
# Sparse, ending in a line end as a log of whole blocks does.
truncate -s $(((1 << 30) - 1)) "$f3big/records.txt"
printf '\n' >>"$f3big/records.txt"
none_ir=$(instructions "$f3none" "$work/session1.txt" "$drill")
big_ir=$(instructions "$f3big" "$work/session1.txt" "$drill")
check_session "$f3none" 1
check_session "$f3big" 1 $((1 << 30))
r3=$(ratio "$big_ir" "$none_ir")
echo "3. Instructions of a session with a 1 GiB records.txt against one with none"
printf '   1 GiB %d, none %d: ratio %s (target at most 1.05): %s\n' \
  "$big_ir" "$none_ir" "$r3" "$(verdict "$r3 <= 1.05")"
echo

# ---------------------------------------------------------------------------
# 4. Many tests in one process, input piped in. The first test of a process
#    also pays one-time costs (binding the C library functions the report
#    uses, reading the time-zone file), so the cost of one test is measured
#    as the difference between a two-test and a one-test session, and
#    compared with the mean cost of a test over a run of many tests.

f4one=$(new_folder)
f4two=$(new_folder)
f4many=$(new_folder)
one_ir=$(instructions "$f4one" "$work/session1.txt" "$drill")
two_ir=$(instructions "$f4two" "$work/session2.txt" "$drill")
many_ir=$(instructions "$f4many" "$work/session_many.txt" "$drill")
check_session "$f4one" 1
check_session "$f4two" 2
check_session "$f4many" "$many_tests"
per_test_two=$((two_ir - one_ir))
per_test_many=$(awk -v a="$many_ir" -v b="$one_ir" -v n="$many_tests" \
  'BEGIN { printf "%.0f", (a - b) / (n - 1) }')
r4=$(ratio "$per_test_many" "$per_test_two")
echo "4. $many_tests tests in one process (piped input)"
echo "   (the first test of a process also binds library functions and reads the time-zone"
echo "   file, so the cost of one test is taken as a 2-test session minus a 1-test one)"
printf '   instructions per test: %d over %d tests, %d as 2 tests - 1 test: ratio %s (target 0.9 to 1.1): %s\n' \
  "$per_test_many" "$many_tests" "$per_test_two" "$r4" "$(verdict "$r4 >= 0.9 && $r4 <= 1.1")"

: >"$f4one/rss"
: >"$f4many/rss"
for ((i = 0; i < many_rss_runs; i++)); do
  peak_rss_runs 1 "$f4one" "$work/session1.txt" "$drill" >>"$f4one/rss"
  peak_rss_runs 1 "$f4many" "$work/session_many.txt" "$drill" >>"$f4many/rss"
done
one_kib=$(median <"$f4one/rss")
many_kib=$(median <"$f4many/rss")
growth=$(awk -v a="$many_kib" -v b="$one_kib" 'BEGIN { print a - b }')
printf '   peak memory, median of %d runs: %s KiB for %d tests, %s KiB for 1: %s KiB more (target at most 64): %s\n' \
  "$many_rss_runs" "$many_kib" "$many_tests" "$one_kib" "$growth" "$(verdict "$growth <= 64")"

echo

# ---------------------------------------------------------------------------
# 5. What the flush of each block to the disk (fsync) costs: a session of
#    $fsync_tests tests in a folder beside the build (the temporary folder
#    may be a tmpfs, where a flush costs nothing), against the same session
#    with fsync preloaded as a no-op (bench/no_fsync.cc), and against one
#    where only answers.csv is not flushed: what its flush, the second of
#    each test, adds. Runs alternate.

disk_folder=$(mktemp -d "$root/build/bench/fsync.XXXXXX")
disk_type=$(stat -f -c %T "$disk_folder")

# Wall time in microseconds of one session from file $1 in $disk_folder; the
# rest are NAME=VALUE entries for its environment.
session_us() {
  local input=$1 start end
  shift
  start=$(date +%s%N)
  (cd "$disk_folder" && env "$@" "$drill" <"$input" >stdout 2>stderr) ||
    fail "the session in $disk_folder failed"
  end=$(date +%s%N)
  echo $(((end - start) / 1000))
}

: >"$work/flushed.us"
: >"$work/unflushed.us"
: >"$work/answers_unflushed.us"
for ((i = 0; i < fsync_runs; i++)); do
  size=$(stat -c %s "$disk_folder/records.txt" 2>/dev/null || echo 0)
  session_us "$work/session_fsync.txt" >>"$work/flushed.us"
  check_session "$disk_folder" "$fsync_tests" "$size"
  session_us "$work/session_fsync.txt" LD_PRELOAD="$no_fsync" >>"$work/unflushed.us"
  session_us "$work/session_fsync.txt" LD_PRELOAD="$no_fsync" NO_FSYNC_ONLY=answers.csv \
    >>"$work/answers_unflushed.us"
done
flushed_us=$(median <"$work/flushed.us")
unflushed_us=$(median <"$work/unflushed.us")
answers_unflushed_us=$(median <"$work/answers_unflushed.us")
echo "5. The flushes of each test to the disk (its block, then its answers), on $disk_type ($disk_folder)"
awk -v a="$flushed_us" -v b="$unflushed_us" -v c="$answers_unflushed_us" -v n="$fsync_tests" \
  -v runs="$fsync_runs" 'BEGIN {
  printf "   %d tests, median of %d runs: %.0f ms with the flushes, %.0f ms without: %.2f ms per test (reported only)\n",
    n, runs, a / 1000, b / 1000, (a - b) / n / 1000
  printf "   %.0f ms with the block flushed alone: the flush of answers.csv adds %.2f ms per test (reported only)\n",
    c / 1000, (a - c) / n / 1000 }'
[ "$disk_type" = tmpfs ] && echo "   (a tmpfs: a flush costs nothing there; run from a folder on a disk)"

echo

# ---------------------------------------------------------------------------
# 6. What the hardening flags (-D_FORTIFY_SOURCE=2, -fstack-protector-strong,
#    -Wl,-z,relro,-z,now) cost: the session of figure 1 with the drill as
#    shipped against the same drill built without them.

f6=$(new_folder)
plain_ir=$(instructions "$f6" "$work/session1.txt" "$plain_drill")
check_session "$f6" 1
echo "6. Instructions of one session, hardened (as shipped) against built without hardening"
printf '   hardened %d, without %d: ratio %s (reported only)\n' \
  "$drill_ir" "$plain_ir" "$(ratio "$drill_ir" "$plain_ir")"

if [ "$profile" = 1 ]; then
  echo
  echo "Profile of the session of figure 1 (callgrind_annotate --inclusive=yes, top entries):"
  callgrind_annotate --inclusive=yes "$f1/callgrind.out" 2>/dev/null |
    sed -n '/file:function/,$p' | sed -n '3,32p'
  echo
  echo "Self cost (callgrind_annotate, top entries):"
  callgrind_annotate "$f1/callgrind.out" 2>/dev/null |
    sed -n '/file:function/,$p' | sed -n '3,27p'
fi
