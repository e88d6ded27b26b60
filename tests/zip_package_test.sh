#!/usr/bin/env bash
# Checks the Windows zip that CPack built: one folder holding mathdrill.exe,
# mathdrill-progress.exe, README.txt and LICENSE (with CR LF line ends), and
# the programs from it, alone in their folder under Wine: a short session of
# the drill (status 0, CR LF console lines, one block in records.txt), then
# mathdrill-progress on that records.txt. Run by CI after cpack.
# Usage: zip_package_test.sh ZIP WINE_PREFIX SESSION_CHECK (the test-support
# checker of a session, tests/support/session_check.cc, built for this host)
set -euo pipefail

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

zip=$(realpath "$1")
prefix=$2
checker=$(realpath "$3")
wine_run=$(cd "$(dirname "$0")/.." && pwd)/cmake/toolchains/wine-run.sh
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT

name=$(basename "$zip" .zip)
cmake -E tar tf "$zip" | sort >"$root/files"
printf '%s\n' "$name/LICENSE" "$name/README.txt" "$name/mathdrill-progress.exe" \
  "$name/mathdrill.exe" | diff - "$root/files" ||
  fail "unexpected zip contents"
(cd "$root" && cmake -E tar xf "$zip")
folder=$root/$name
readme_lines=$(wc -l <"$folder/README.txt")
[ "$readme_lines" -gt 10 ] || fail "README.txt is too short"
[ "$(grep -c $'\r$' "$folder/README.txt")" -eq "$readme_lines" ] ||
  fail "README.txt does not have CR LF line ends"
grep -q '^MIT License' "$folder/LICENSE" || fail "LICENSE is not the MIT licence"
[ "$(grep -c $'\r$' "$folder/LICENSE")" -eq "$(wc -l <"$folder/LICENSE")" ] ||
  fail "LICENSE does not have CR LF line ends"

# Limit 0, so every answer is 0: twenty right, then "n". Wine's first start
# in a new prefix takes a minute at most.
{
  printf 'Ann\r\n0\r\n'
  for _ in $(seq 20); do printf '0\r\n'; done
  printf 'n\r\n'
} >"$root/input"
status=0
(cd "$folder" && timeout 180 "$wine_run" "$prefix" ./mathdrill.exe <"$root/input" \
  >"$root/output" 2>"$root/errors") || status=$?
[ $status -eq 0 ] || fail "mathdrill.exe ended with status $status: $(cat "$root/errors")"
"$checker" --crlf "$root/output" "$folder/records.txt" Ann 0 20 ||
  fail "the session's console output or records.txt is wrong"

# mathdrill-progress.exe from the zip reads that records.txt: its CSV holds
# Ann's one test, with CR LF line ends as CSV has them everywhere.
status=0
(cd "$folder" && timeout 180 "$wine_run" "$prefix" ./mathdrill-progress.exe --csv records.txt \
  >"$root/csv" 2>"$root/errors") || status=$?
[ $status -eq 0 ] || fail "mathdrill-progress.exe ended with status $status: $(cat "$root/errors")"
[ "$(wc -l <"$root/csv")" -eq 2 ] || fail "the CSV does not hold a header and one test"
grep -q $',Ann,0,20,20,100,A+,.*\r$' "$root/csv" || fail "the CSV row does not show Ann's test"
echo "ok: $name runs alone under Wine"
