#!/usr/bin/env bash
# Checks the Debian package that CPack built in a build folder: its control
# fields, its files, and the installed drill through a short session. The
# package is unpacked into a temporary root with dpkg-deb, so nothing is
# installed on the machine. Run by CTest (DRILL_PACKAGE_TESTS) after cpack.
# Usage: deb_package_test.sh BUILD_FOLDER
set -euo pipefail

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

shopt -s nullglob
packages=("$1"/drill_*.deb)
[ ${#packages[@]} -eq 1 ] || fail "expected one drill_*.deb in $1 (run cpack first), found ${#packages[@]}"
deb=${packages[0]}
echo "package: $deb"

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT

# Control fields: the C library is declared, the section is games.
[ "$(dpkg-deb --field "$deb" Package)" = drill ] || fail "package name"
depends=$(dpkg-deb --field "$deb" Depends)
[[ $depends == *libc6* ]] || fail "Depends does not name libc6: '$depends'"
[ "$(dpkg-deb --field "$deb" Section)" = games ] || fail "section"

# Files: the program and the manual page, nothing else but folders.
dpkg-deb --contents "$deb" | awk '{print $6}' | grep -v '/$' | sort >"$root/files"
printf './usr/bin/drill\n./usr/share/man/man6/drill.6.gz\n' | diff - "$root/files" ||
  fail "unexpected package contents"

dpkg-deb --extract "$deb" "$root/fs"
drill=$root/fs/usr/bin/drill
[ -x "$drill" ] || fail "usr/bin/drill is not executable"
zcat "$root/fs/usr/share/man/man6/drill.6.gz" | grep -q '^\.SH EXIT STATUS' ||
  fail "the manual page has no EXIT STATUS section"
if command -v groff >/dev/null; then
  warnings=$(zcat "$root/fs/usr/share/man/man6/drill.6.gz" | groff -man -Tutf8 -ww -z 2>&1)
  [ -z "$warnings" ] || fail "the manual page renders with warnings: $warnings"
fi

# A short session: limit 0, so every answer is 0; twenty right, then "n".
mkdir "$root/run"
{
  printf 'Ann\n0\n'
  for _ in $(seq 20); do printf '0\n'; done
  printf 'n\n'
} >"$root/input"
status=0
(cd "$root/run" && TZ=UTC timeout 20 "$drill" <"$root/input" >"$root/output" 2>"$root/errors") ||
  status=$?
[ $status -eq 0 ] || fail "drill ended with status $status"
[ ! -s "$root/errors" ] || fail "drill wrote to standard error: $(cat "$root/errors")"
grep -q '^What is your name? How big do you want the addends to be? Starting time:  ' \
  "$root/output" || fail "no greeting and questions"
grep -qF '= That is right, Ann!  Now you have 20 out of 20' "$root/output" ||
  fail "no 20th right answer"
grep -q '^You got 20 right out of 20 which is 100% -- so your grade is A+$' "$root/output" ||
  fail "no result line"

# records.txt: one block of nine lines, each ended by CR LF.
records=$root/run/records.txt
[ -f "$records" ] || fail "no records.txt"
[ "$(wc -l <"$records")" -eq 9 ] || fail "records.txt does not have nine lines"
[ "$(grep -c $'\r$' "$records")" -eq 9 ] || fail "records.txt lines do not end in CR LF"
[ "$(grep -c $'\r\r$' "$records")" -eq 0 ] || fail "records.txt has CR CR LF"
expected_lines=(
  '-----------drillo1.exe: from www.velmora-math.com----------------------------'
  'Test results for Ann:'
  'Test description: 20  problems, mixed addition/subtraction (random 50/50)'
  'Addend limits 0 through 0'
  'Results: 20 right out of 20, grade 100% / A+'
)
for line in "${expected_lines[@]}"; do
  grep -qxF -e "$line"$'\r' "$records" || fail "records.txt lacks the line '$line'"
done
echo "ok: $(dpkg-deb --field "$deb" Package Version Architecture Depends | tr '\n' ' ')"
