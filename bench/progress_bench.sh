#!/usr/bin/env bash
# mathdrill-progress's benchmark. Builds the bench preset (Release, in
# build/bench) unless given a program, writes the logs in a temporary
# folder with bench/progress_log (blocks laid out by test support's model
# of the drill), warms the page cache, and prints each figure with its
# target and whether this run meets it:
#
#   1. wall time and processor time, median of several runs, of the
#      table (the default output), of --csv and of --child for one child on
#      a 1 GiB log, each against the median of `wc -l` on the same file;
#      target at most 1.5 times;
#   2. wall time of the table on 1,000 logs of one test each, against `cat`
#      of the same files; target at most 3 times;
#   3. peak resident memory of the table, --csv and --child on a log of
#      about 1 MiB and on the 1 GiB one; target: the 1 GiB log needs at
#      most 1 MiB more for the table and --csv (memory grows with the
#      children, not the tests), and --child grows by that child's tests;
#   4. peak resident memory of the table, of --html FILE and of --html -
#      on a log of 300,000 children of one test each, where memory grows
#      with the children; targets at most 128 MB for the table and 1 GB for
#      each page (with the page, of about 700 MB, in memory);
#   5. wall time of --child on the 1 GiB log cut into 16 files, named in
#      the order of time and against it; target: against time at most 1.5
#      times in order (the child's tests are put in order once);
#   6. instructions per test (valgrind's callgrind, which counts exactly)
#      of the table, --csv and --child on the 1 MiB log, and of the table
#      on that log and a copy of it (duplicate checks), less a run on an
#      empty log; target at most 900 for the first three.
#   7. (the facts section at the end) wall and processor time of --facts
#      on a 1 GiB answers.csv against `wc -l`, target at most 3 times; and
#      peak resident memory of --facts on 10,000 and on 1,000,000 facts
#      asked once each, as bytes per fact.
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

for tool in awk wc cat date sort; do
  command -v "$tool" >/dev/null 2>&1 || fail "$tool is missing"
done

work=$(mktemp -d "${TMPDIR:-/tmp}/progress-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

command -v cmake >/dev/null 2>&1 || fail "cmake is missing (apt-get install cmake)"
echo "Building the bench preset (build/bench)..."
if ! (cd "$root" && cmake --preset bench &&
  cmake --build build/bench --target mathdrill-progress progress_log child_stats) \
  >"$work/build.log" 2>&1; then
  cat "$work/build.log" >&2
  fail "the bench preset did not build"
fi
[ -n "$binary" ] || binary=$root/build/bench/progress/mathdrill-progress
[ -x "$binary" ] || fail "no program at $binary"
progress_log=$root/build/bench/bench/progress_log
# bench/child_stats measures peak memory where GNU time is missing.
child_stats=$root/build/bench/bench/child_stats

# ---------------------------------------------------------------------------
# The logs: five children taking turns over a year, CR LF line ends, valid
# dates and grades; about 1 MiB, just under 1 GiB, and 1,000 files of one
# test each.

cd "$work"
"$progress_log" small.txt $((1 << 20)) >/dev/null || fail "the small log could not be written"
read -r blocks child_tests < <("$progress_log" big.txt $((1 << 30))) ||
  fail "the 1 GiB log could not be written"
mkdir files
"$progress_log" --files files 1000 || fail "the one-test logs could not be written"
children=300000
"$progress_log" --children children.txt "$children" || fail "the log of $children children could not be written"
# The table must read every block of the log: else the timing means nothing.
"$binary" big.txt >table.txt 2>errors.txt || fail "mathdrill-progress failed on the 1 GiB log"
# The third column is the number of tests (after the name and the operations).
read_sum=$(awk -F'  +' 'NR > 1 { sum += $3 } END { print sum }' table.txt)
[ "$read_sum" = "$blocks" ] || fail "the table counts $read_sum tests, the log holds $blocks"

echo "mathdrill-progress benchmark: $binary"
echo "log of $(wc -c <big.txt) bytes, $blocks tests of 5 children, in $work"
echo

# Warm the page cache, so every run reads the same way.
cat big.txt >/dev/null
cat big.txt >/dev/null

# ---------------------------------------------------------------------------
# Helpers

# Wall time in milliseconds of one run of the command, output to
# /dev/null, and its processor time (user and system) after a space.
wall_ms() {
  local times
  times=$( { TIMEFORMAT='%3R %3U %3S'; time "$@" >/dev/null 2>&1; } 2>&1) || fail "$* failed"
  awk -v t="$times" 'BEGIN { split(t, f, " "); printf "%d %d\n", f[1] * 1000, (f[2] + f[3]) * 1000 }'
}

# The median of the first (or with `2`, the second) column.
median() {
  awk -v c="${1:-1}" '{ print $c }' | sort -n | awk '{ v[NR] = $1 } END {
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
wc_cpu=$(median 2 <wc.ms)
echo "1. Time on the 1 GiB log, median of $runs runs each (page cache warm): wall, and"
echo "   processor time (user and system), which other loads on the machine disturb less"
printf '   wc -l                          %6s ms wall, %6s ms processor\n' "$wc_ms" "$wc_cpu"
for run in "table:mathdrill-progress" "csv:mathdrill-progress --csv" \
  "child:mathdrill-progress --child Zoë"; do
  name=${run%%:*}
  ms=$(median <"$name.ms")
  cpu=$(median 2 <"$name.ms")
  r=$(ratio "$ms" "$wc_ms")
  rc=$(ratio "$cpu" "$wc_cpu")
  printf '   %-30s %6s ms wall, %6s ms processor: %s and %s times wc -l (target at most 1.5): %s\n' \
    "${run#*:}" "$ms" "$cpu" "$r" "$rc" "$(verdict "$r <= 1.5")"
done
echo

# ---------------------------------------------------------------------------
# 2. 1,000 logs of one test each against cat of the same files.

files=(files/log*.txt)
: >cat.ms
: >files.ms
for ((i = 0; i < runs; i++)); do
  wall_ms cat "${files[@]}" >>cat.ms
  wall_ms "$binary" "${files[@]}" >>files.ms
done
cat_ms=$(median <cat.ms)
files_ms=$(median <files.ms)
echo "2. Wall time on ${#files[@]} logs of one test each, median of $runs runs each"
printf '   cat                            %6s ms\n' "$cat_ms"
r=$(ratio "$files_ms" "$cat_ms")
printf '   %-30s %6s ms: %s times cat (target at most 3): %s\n' \
  "mathdrill-progress" "$files_ms" "$r" "$(verdict "$r <= 3")"
echo

# ---------------------------------------------------------------------------
# 3. Peak memory on a small log and on the 1 GiB one.

echo "3. Peak resident memory, a 1 MiB log against the 1 GiB one"
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
    per_test=$(awk -v g="$growth" -v n="$child_tests" 'BEGIN { printf "%.0f", g * 1024 / n }')
    printf '   %-30s %7s KiB, %7s KiB: %s KiB more for the child'"'"'s %s tests (%s bytes a test; reported only)\n' \
      "$label" "$small_kib" "$big_kib" "$growth" "$child_tests" "$per_test"
  else
    printf '   %-30s %7s KiB, %7s KiB: %s KiB more (target at most 1024): %s\n' \
      "$label" "$small_kib" "$big_kib" "$growth" "$(verdict "$growth <= 1024")"
  fi
done
echo

# ---------------------------------------------------------------------------
# 4. Peak memory with many children.

echo "4. Peak resident memory on $children children of one test each ($(wc -c <children.txt) bytes)"
for run in "128:" "1000:--html children.html" "1000:--html -"; do
  target_mb=${run%%:*}
  args=${run#*:}
  # shellcheck disable=SC2086
  kib=$(peak_kib "$binary" $args children.txt)
  mb=$(awk -v k="$kib" 'BEGIN { printf "%.1f", k * 1024 / 1e6 }')
  label="mathdrill-progress${args:+ $args}"
  printf '   %-34s %8s KiB = %7s MB (target at most %s MB): %s\n' \
    "$label" "$kib" "$mb" "$target_mb" "$(verdict "$mb <= $target_mb")"
  rm -f children.html
done
echo

# ---------------------------------------------------------------------------
# 5. --child on files named in the order of time and against it.

mkdir parts
split -n l/16 -d big.txt parts/part
in_order=(parts/part*)
against=()
for ((i = ${#in_order[@]} - 1; i >= 0; i--)); do against+=("${in_order[i]}"); done
: >order.ms
: >against.ms
for ((i = 0; i < runs; i++)); do
  wall_ms "$binary" --child Zoë "${in_order[@]}" >>order.ms
  wall_ms "$binary" --child Zoë "${against[@]}" >>against.ms
done
order_ms=$(median <order.ms)
against_ms=$(median <against.ms)
r=$(ratio "$against_ms" "$order_ms")
echo "5. --child on the 1 GiB log cut into ${#in_order[@]} files, median of $runs runs each"
printf '   files in the order of time      %6s ms
' "$order_ms"
printf '   files against the order of time %6s ms: %s times (target at most 1.5): %s\n' \
  "$against_ms" "$r" "$(verdict "$r <= 1.5")"
rm -rf parts
echo

# ---------------------------------------------------------------------------
# 6. Instructions per test.

if command -v valgrind >/dev/null 2>&1; then
  small_tests=$(awk -F'  +' 'NR > 1 { sum += $3 } END { print sum }' <("$binary" small.txt))
  instructions() {
    valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" 2>&1 >/dev/null |
      awk '/Collected :/ { print $NF }'
  }
  : >empty.txt
  base=$(instructions "$binary" empty.txt)
  cp small.txt copy.txt
  echo "6. Instructions per test on the 1 MiB log ($small_tests tests), less a run on an empty log"
  for run in "table:" "csv:--csv" "child:--child Zoë"; do
    args=${run#*:}
    # shellcheck disable=SC2086
    total=$(instructions "$binary" $args small.txt)
    per=$(awk -v t="$total" -v b="$base" -v n="$small_tests" 'BEGIN { printf "%.0f", (t - b) / n }')
    printf '   %-30s %6s (target at most 900): %s\n' "mathdrill-progress${args:+ $args}" "$per" \
      "$(verdict "$per <= 900")"
  done
  total=$(instructions "$binary" small.txt copy.txt)
  per=$(awk -v t="$total" -v b="$base" -v n="$small_tests" 'BEGIN { printf "%.0f", (t - b) / (2 * n) }')
  printf '   %-30s %6s a test read (reported only)\n' "two files, duplicates checked" "$per"
else
  echo "6. Instructions per test: valgrind is missing (apt-get install valgrind)"
fi

# ---------------------------------------------------------------------------
# 7. --facts: which facts the children know, from answers.csv. This section
#    builds and uses its own helper (bench/answers_log) and files.

echo
if ! (cd "$root" && cmake --build build/bench --target answers_log) >"$work/build_answers.log" 2>&1; then
  cat "$work/build_answers.log" >&2
  fail "bench/answers_log did not build"
fi
answers_log=$root/build/bench/bench/answers_log
answers=$("$answers_log" answers.csv $((1 << 30))) || fail "the 1 GiB answers file could not be written"
"$binary" --facts answers.csv >facts.txt 2>facts_errors.txt || fail "mathdrill-progress --facts failed"
# Every answer must be read: the Asked column counts facts, so check the
# messages instead (none: no line skipped).
[ ! -s facts_errors.txt ] || fail "--facts skipped lines: $(cat facts_errors.txt)"
cat answers.csv >/dev/null
cat answers.csv >/dev/null
: >facts_wc.ms
: >facts.ms
for ((i = 0; i < runs; i++)); do
  wall_ms wc -l answers.csv >>facts_wc.ms
  wall_ms "$binary" --facts answers.csv >>facts.ms
done
wc_ms=$(median <facts_wc.ms)
wc_cpu=$(median 2 <facts_wc.ms)
ms=$(median <facts.ms)
cpu=$(median 2 <facts.ms)
r=$(ratio "$ms" "$wc_ms")
rc=$(ratio "$cpu" "$wc_cpu")
echo "7. --facts on a 1 GiB answers.csv ($answers answers, $(wc -c <answers.csv) bytes), median of $runs runs"
printf '   wc -l                          %6s ms wall, %6s ms processor\n' "$wc_ms" "$wc_cpu"
printf '   %-30s %6s ms wall, %6s ms processor: %s and %s times wc -l (target at most 3): %s\n' \
  "mathdrill-progress --facts" "$ms" "$cpu" "$r" "$rc" "$(verdict "$r <= 3")"
rm -f answers.csv
"$answers_log" --facts few_facts.csv 10000 >/dev/null || fail "the facts file could not be written"
"$answers_log" --facts many_facts.csv 1000000 >/dev/null || fail "the facts file could not be written"
few_kib=$(peak_kib "$binary" --facts few_facts.csv)
many_kib=$(peak_kib "$binary" --facts many_facts.csv)
per_fact=$(awk -v a="$many_kib" -v b="$few_kib" 'BEGIN { printf "%.0f", (a - b) * 1024 / 990000 }')
printf '   peak memory of --facts: %s KiB for 10,000 facts, %s KiB for 1,000,000: %s bytes a fact (reported only)\n' \
  "$few_kib" "$many_kib" "$per_fact"
