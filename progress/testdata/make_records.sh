#!/usr/bin/env bash
# Makes the test logs of mathdrill-progress by running the real drill with
# typed answers piped in, under faketime so that the tests fall on chosen
# days and take chosen times, with TZ=UTC, in a temporary folder:
#
#   records.txt   three children over a week: Ann, O'Neil,"Jo" (a comma and
#                 quotes in the name) and Zoë (UTF-8), 14 tests;
#   odd_names.txt three tests of children whose names hold markup
#                 characters, bytes that are not UTF-8 and a terminal escape;
#   damaged.txt   records.txt with foreign text, a cut block, binary bytes,
#                 a block with LF line ends only (valid), a 10000-byte line,
#                 a block whose grade contradicts its percent and a block cut
#                 off at the end;
#   records.csv   the --csv output expected for records.txt, made from the
#                 log with awk, apart from mathdrill-progress;
#   operations.txt tests of other operations (mathdrill -o): Ann's of +-,
#                 x/ and +-x/, Zoë's of x alone, answered from the drill's
#                 own prompts;
#   operations.csv the --csv output expected for operations.txt, by the
#                 same awk script.
#
# The addend limit is 0, so every right answer is 0; "1" is a wrong one.
# Elapsed times depend on the machine's speed, so each run gives slightly
# different logs: the tests' expected outputs were checked against the logs
# committed, and must be checked again when they are made anew.
#
#   bash progress/testdata/make_records.sh [DRILL]
#
# DRILL defaults to build/release/mathdrill; build
# it with: cmake --preset release && cmake --build --preset release.
# Needs faketime (apt-get install faketime).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
drill=${1:-$root/build/release/mathdrill}
[ -n "$drill" ] && [ -x "$drill" ] || {
  echo "make_records.sh: no drill; build it with cmake --preset release && cmake --build --preset release" >&2
  exit 1
}
command -v faketime >/dev/null || {
  echo "make_records.sh: faketime is missing (apt-get install faketime)" >&2
  exit 1
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export TZ=UTC

# The fake clock runs this many times faster than the real one, so a test of
# a minute takes three real seconds.
speed=20

# Types one test's answers: $1 wrong ones first, then right ones, with $2
# real seconds between answers.
answers() {
  local wrong=$1 pause=$2 i
  for ((i = 0; i < 20; i++)); do
    sleep "$pause"
    if ((i < wrong)); then echo 1; else echo 0; fi
  done
}

# One drill session into $log: child $1 starts it at $2 (UTC) and takes one
# test for each "WRONG:PAUSE" argument after it, then stops.
session() {
  local name=$1 start=$2 log=$3
  shift 3
  local count=$#
  {
    echo "$name"
    echo 0
    local n=0 test
    for test in "$@"; do
      answers "${test%%:*}" "${test##*:}"
      n=$((n + 1))
      if ((n < count)); then echo y; else echo n; fi
    done
  } | (cd "$work" && faketime -f "@$start x$speed" "$drill" >/dev/null)
  cat "$work/records.txt" >>"$log"
  rm -f "$work/records.txt"
}

# One drill session with -o $1 into $log: child $2 starts it at $3 (UTC)
# with the limit $4, and takes one test for each "WRONG:PAUSE" argument
# after $5 (the log), then stops. Each problem is read from the drill's
# prompt ("12 x  3 = "), and answered right, or one too high for the first
# WRONG problems of a test.
ops_session() {
  local ops=$1 name=$2 start=$3 limit=$4 log=$5
  shift 5
  local count=$# n=0 test i text a op b answer
  coproc drill_run { cd "$work" && exec faketime -f "@$start x$speed" "$drill" -o "$ops" 2>/dev/null; }
  local from=${drill_run[0]} to=${drill_run[1]}
  printf '%s\n%s\n' "$name" "$limit" >&"$to"
  for test in "$@"; do
    for ((i = 0; i < 20; i++)); do
      IFS= read -r -d '=' text <&"$from" || {
        echo "make_records.sh: the drill ended before its problem" >&2
        exit 1
      }
      [[ $text =~ ([0-9]+)\ ([-+x/])\ +([0-9]+)\ $ ]] || {
        echo "make_records.sh: no problem in the drill's prompt: $text" >&2
        exit 1
      }
      a=${BASH_REMATCH[1]} op=${BASH_REMATCH[2]} b=${BASH_REMATCH[3]}
      case $op in
        +) answer=$((a + b)) ;;
        -) answer=$((a - b)) ;;
        x) answer=$((a * b)) ;;
        /) answer=$((a / b)) ;;
      esac
      if ((i < ${test%%:*})); then answer=$((answer + 1)); fi
      sleep "${test##*:}"
      echo "$answer" >&"$to"
    done
    n=$((n + 1))
    if ((n < count)); then echo y >&"$to"; else echo n >&"$to"; fi
  done
  cat <&"$from" >/dev/null
  wait
  cat "$work/records.txt" >>"$log"
  rm -f "$work/records.txt"
}

records=$work/records.txt.new
: >"$records"
session 'Ann' '2026-03-02 16:00:00' "$records" 6:0.15 4:0.12
session 'Zoë' '2026-03-02 17:00:00' "$records" 9:0.2
session "O'Neil,\"Jo\"" '2026-03-03 15:00:00' "$records" 10:0.25 8:0.22
session 'Ann' '2026-03-04 17:30:00' "$records" 3:0.11 2:0.1
session "O'Neil,\"Jo\"" '2026-03-05 15:20:00' "$records" 5:0.2
session 'Ann' '2026-03-06 16:15:00' "$records" 1:0.09
session 'Zoë' '2026-03-07 10:30:00' "$records" 7:0.18 6:0.16
session "O'Neil,\"Jo\"" '2026-03-09 15:10:00' "$records" 4:0.18
session 'Ann' '2026-03-09 18:00:00' "$records" 2:0.08 0:0.07
cp "$records" "$here/records.txt"

odd=$work/odd_names.txt.new
: >"$odd"
session '<b>Tom&Jerry</b>' '2026-04-01 09:00:00' "$odd" 2:0.1
session $'\xff\xfeBad' '2026-04-01 09:10:00' "$odd" 5:0.1
session $'Red\x1b[31mAlert' '2026-04-01 09:20:00' "$odd" 0:0.1
cp "$odd" "$here/odd_names.txt"

operations=$work/operations.txt.new
: >"$operations"
ops_session '+-' 'Ann' '2026-03-10 16:00:00' 10 "$operations" 3:0.12
ops_session 'x/' 'Ann' '2026-03-10 16:30:00' 10 "$operations" 6:0.2 4:0.18
ops_session 'x' 'Zoë' '2026-03-11 10:00:00' 9 "$operations" 8:0.25 5:0.22
ops_session '+-x/' 'Ann' '2026-03-12 17:00:00' 12 "$operations" 2:0.15
ops_session '/x' 'Ann' '2026-03-13 17:00:00' 10 "$operations" 1:0.15
cp "$operations" "$here/operations.txt"

# The damaged log, from the blocks of records.txt (nine lines each):
#   line 1        foreign text
#   lines 2-10    block 1
#   lines 11-14   the first four lines of block 2, cut off
#   lines 15-23   block 3 with LF line ends only (valid)
#   line 24       binary bytes
#   lines 25-33   block 4
#   line 34       a line of 10000 bytes
#   lines 35-43   block 5 with a grade that does not fit its percent
#   lines 44-52   block 6
#   lines 53-55   the first three lines of block 7, the last one cut in the
#                 middle, without a line end
block() { sed -n "$(((${1} - 1) * 9 + 1)),$((${1} * 9))p" "$here/records.txt"; }
{
  printf 'Notes from Ms Hale: everyone did well this week.\r\n'
  block 1
  block 2 | head -n 4
  block 3 | tr -d '\r'
  printf '\x00\x01\x02\xfe\xff\x7fELF\x02\x01\r\n'
  block 4
  head -c 10000 /dev/zero | tr '\0' 'x'
  printf '\r\n'
  block 5 | sed 's|grade \([0-9]*\)% / [A-F+]*|grade \1% / A+|'
  block 6
  block 7 | head -n 3 | head -c -8
} >"$here/damaged.txt"

# The expected --csv output, from the log's text alone: $1 a log, $2 the
# CSV file to write.
expected_csv() {
  awk '
    BEGIN { RS = "\r\n"; ORS = "\r\n"; FS = "\n"
      split("Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec", m, " ")
      for (i = 1; i <= 12; i++) month[m[i]] = sprintf("%02d", i)
      print "started,ended,name,addend_limit,right,out_of,percent,grade,seconds,score,operations" }
    function iso(t,   f) { split(t, f, /[ ]+/)
      return sprintf("%04d-%s-%sT%s", f[5], month[f[2]], f[3], f[4]) }
    function csv(s) { if (s ~ /[,"]/) { gsub(/"/, "\"\"", s); return "\"" s "\"" } return s }
    /^Test results for / { name = substr($0, 18, length($0) - 18) }
    /^Ending time:/ { ended = iso(substr($0, 17)) }
    /^Starting time:/ { started = iso(substr($0, 17)) }
    /^Elapsed time:/ { seconds = $0; sub(/^Elapsed time: +/, "", seconds); sub(/ seconds\.$/, "", seconds) }
    /^Test description:/ { ops = $0; sub(/.*problems, /, "", ops); sub(/^mixed /, "", ops)
      sub(/ \(random .*\)$/, "", ops); sub(/ only$/, "", ops) }
    /^(Addend|Number) limits/ { limit = $0; sub(/.* /, "", limit) }
    /^Results:/ { split($0, r, " "); right = r[2]; percent = r[8]; sub(/%/, "", percent); grade = r[10] }
    /^Time\/performance rating:/ { score = $0; sub(/.* /, "", score)
      print started "," ended "," csv(name) "," limit "," right ",20," percent "," grade "," seconds "," score "," ops }
  ' "$1" >"$2"
}
expected_csv "$here/records.txt" "$here/records.csv"
expected_csv "$here/operations.txt" "$here/operations.csv"

echo "made records.txt, odd_names.txt, damaged.txt, operations.txt, records.csv and operations.csv in $here"
