#!/usr/bin/env bash
# mathdrill-progress's benchmark: how long it takes on a 1 GiB results log,
# against `wc -l` on the same file, and how much memory it needs for a small
# log and for the 1 GiB one. Builds mathdrill-progress as shipped (Release,
# the bench preset's settings, in build/progress-bench) unless given one,
# writes the logs in a temporary folder, warms the page cache, and prints
# each figure with its target and whether this run meets it:
#
#   - wall time, median of several runs, of the table (the default output),
#     of --csv to /dev/null and of --child for one child, each against the
#     median of `wc -l` on the same file; target at most 3 times;
#   - peak resident memory of each on a log of about 1 MiB and on the
#     1 GiB one; target: the 1 GiB log needs at most 1 MiB more (memory grows
#     with the children, not the tests), except --child, which keeps that
#     child's tests.
#
# Figures are reported, never asserted: the exit status is 0 whatever they
# are, and non-zero only when the benchmark cannot run (a tool missing, the
# build failing). The logs are deleted at the end.
#
#   bash bench/progress_bench.sh [--runs N] [--binary PATH]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
runs=5
binary=
while [ $# -gt 0 ]; do
  case $1 in
    --runs) runs=$2; shift 2 ;;
    --binary) binary=$2; shift 2 ;;
    *)
      echo "usage: bash bench/progress_bench.sh [--runs N] [--binary PATH]" >&2
      exit 2
      ;;
  esac
done

fail() {
  echo "progress_bench: $*" >&2
  exit 1
}

for tool in awk wc date sort; do
  command -v "$tool" >/dev/null 2>&1 || fail "$tool is missing"
done

work=$(mktemp -d "${TMPDIR:-/tmp}/progress-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

if [ -z "$binary" ]; then
  command -v cmake >/dev/null 2>&1 || fail "cmake is missing (apt-get install cmake)"
  echo "Building mathdrill-progress (Release, build/progress-bench)..."
  if ! (cd "$root" && cmake --preset bench -B build/progress-bench &&
    cmake --build build/progress-bench -j2 --target mathdrill-progress) \
    >"$work/build.log" 2>&1; then
    cat "$work/build.log" >&2
    fail "mathdrill-progress did not build"
  fi
  binary=$root/build/progress-bench/progress/mathdrill-progress
fi
[ -x "$binary" ] || fail "no program at $binary"
# bench/child_stats measures peak memory where GNU time is missing; it is
# used when the bench preset has built it.
child_stats=$root/build/bench/bench/child_stats

# ---------------------------------------------------------------------------
# The logs: one piece of realistic blocks (five children taking turns over a
# year, CR LF line ends, valid dates and grades), then that piece over and
# over up to 1 GiB.

cd "$work"
awk 'BEGIN {
  srand(20260308)
  split("Ann Bob O'"'"'Neil,\"Jo\" Zoë Max", names, " ")
  split("31 28 31 30 31 30 31 31 30 31 30 31", days_in, " ")
  split("Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec", months, " ")
  split("Sun Mon Tue Wed Thu Fri Sat", weekdays, " ")
  split("5 10 12 20", limits, " ")
  for (i = 0; i < 20000; i++) {
    day = int(i / 55)                 # about 55 tests a day in all
    d = day % 365; m = 1
    while (d >= days_in[m]) { d -= days_in[m]; m++ }
    weekday = weekdays[(4 + day % 365) % 7 + 1]   # 2026-01-01 was a Thursday
    start = 15 * 3600 + (i % 55) * 240 + int(rand() * 60)
    elapsed = 20 + int(rand() * 160)
    right = 8 + int(rand() * 13); percent = right * 5
    grade = percent >= 98 ? "A+" : percent >= 90 ? "A" : percent >= 88 ? "B+" : \
            percent >= 80 ? "B" : percent >= 78 ? "C+" : percent >= 70 ? "C" : \
            percent >= 68 ? "D+" : percent >= 60 ? "D" : "F"
    end = start + elapsed
    printf "-----------drillo1.exe: from www.velmora-math.com----------------------------\r\n"
    printf "Test results for %s:\r\n", names[i % 5 + 1]
    printf "Ending time:    %s %s %02d %02d:%02d:%02d 2026\r\n", weekday, months[m], d + 1, \
      int(end / 3600), int(end / 60) % 60, end % 60
    printf "Starting time:  %s %s %02d %02d:%02d:%02d 2026\r\n", weekday, months[m], d + 1, \
      int(start / 3600), int(start / 60) % 60, start % 60
    printf "Elapsed time:   %d seconds.\r\n", elapsed
    printf "Test description: 20  problems, mixed addition/subtraction (random 50/50)\r\n"
    printf "Addend limits 0 through %d\r\n", limits[i % 4 + 1]
    printf "Results: %d right out of 20, grade %d%% / %s\r\n", right, percent, grade
    printf "Time/performance rating: %d\r\n", int(right * percent / elapsed)
  }
}' >piece.txt
# Whole blocks only: nine lines each. About 1 MiB, and just under 1 GiB.
piece_size=$(wc -c <piece.txt)
block_size=$((piece_size / 20000 + 1))
head -n $((9 * ((1 << 20) / block_size))) piece.txt >small.txt
copies=$(((1 << 30) / piece_size))
for ((i = 0; i < copies; i++)); do cat piece.txt; done >big.txt
head -n $((9 * (((1 << 30) - copies * piece_size) / block_size))) piece.txt >>big.txt
rm piece.txt
blocks=$(grep -c '^Test results' big.txt || true)

# The table must read every block of the log: else the timing means nothing.
"$binary" big.txt >table.txt 2>errors.txt || fail "mathdrill-progress failed on the 1 GiB log"
read_sum=$(awk -F'  +' 'NR > 1 { sum += $2 } END { print sum }' table.txt)
[ "$read_sum" = "$blocks" ] || fail "the table counts $read_sum tests, the log holds $blocks"

echo "mathdrill-progress benchmark: $binary"
echo "log of $(wc -c <big.txt) bytes, $blocks tests of 5 children, in $work"
echo

# Warm the page cache, so every run reads the same way.
cat big.txt >/dev/null
cat big.txt >/dev/null

# ---------------------------------------------------------------------------
# Helpers

# Wall time in milliseconds of one run of the command, output to /dev/null.
wall_ms() {
  local start end
  start=$(date +%s%N)
  "$@" >/dev/null 2>&1 || fail "$* failed"
  end=$(date +%s%N)
  echo $(((end - start) / 1000000))
}

median() {
  sort -n | awk '{ v[NR] = $1 } END {
    if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# Peak resident memory in KiB of one run of the command.
peak_kib() {
  if [ -x /usr/bin/time ]; then
    /usr/bin/time -f %M -o "$work/rss" "$@" >/dev/null 2>&1 || fail "$* failed"
    tail -n 1 "$work/rss"
  elif [ -x "$child_stats" ]; then
    "$child_stats" rss /dev/null "$@" || fail "$* failed"
  else
    echo "?"
  fi
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
verdict() { awk "BEGIN { print ($1) ? \"met\" : \"NOT met\" }"; }

# ---------------------------------------------------------------------------
# 1. Wall time against wc -l, the runs of each alternating with the others
#    so that a change in the machine's load falls on all alike.

: >wc.ms
: >table.ms
: >csv.ms
: >child.ms
for ((i = 0; i < runs; i++)); do
  wall_ms wc -l big.txt >>wc.ms
  wall_ms "$binary" big.txt >>table.ms
  wall_ms "$binary" --csv big.txt >>csv.ms
  wall_ms "$binary" --child Zoë big.txt >>child.ms
done
wc_ms=$(median <wc.ms)
echo "1. Wall time on the 1 GiB log, median of $runs runs each (page cache warm)"
printf '   wc -l                          %6s ms\n' "$wc_ms"
for run in "table:mathdrill-progress" "csv:mathdrill-progress --csv" \
  "child:mathdrill-progress --child Zoë"; do
  name=${run%%:*}
  ms=$(median <"$name.ms")
  r=$(ratio "$ms" "$wc_ms")
  printf '   %-30s %6s ms: %s times wc -l (target at most 3): %s\n' \
    "${run#*:}" "$ms" "$r" "$(verdict "$r <= 3")"
done
echo

# ---------------------------------------------------------------------------
# 2. Peak memory on a small log and on the 1 GiB one.

echo "2. Peak resident memory, a 1 MiB log against the 1 GiB one"
for run in "table:" "csv:--csv" "child:--child Zoë"; do
  name=${run%%:*}
  args=${run#*:}
  # shellcheck disable=SC2086
  small_kib=$(peak_kib "$binary" $args small.txt)
  # shellcheck disable=SC2086
  big_kib=$(peak_kib "$binary" $args big.txt)
  growth=$(awk -v a="$big_kib" -v b="$small_kib" 'BEGIN { print a - b }')
  label="mathdrill-progress${args:+ $args}"
  if [ "$name" = child ]; then
    printf '   %-30s %7s KiB, %7s KiB: %s KiB more (keeps the child'"'"'s %s tests; reported only)\n' \
      "$label" "$small_kib" "$big_kib" "$growth" "$(grep -c '^Test results for Zoë:' big.txt)"
  else
    printf '   %-30s %7s KiB, %7s KiB: %s KiB more (target at most 1024): %s\n' \
      "$label" "$small_kib" "$big_kib" "$growth" "$(verdict "$growth <= 1024")"
  fi
done
