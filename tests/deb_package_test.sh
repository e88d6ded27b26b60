#!/usr/bin/env bash
# Checks the Debian package that CPack built in a build folder: its control
# fields, its files, and the installed mathdrill through a short session. The
# package is unpacked into a temporary root with dpkg-deb, so nothing is
# installed on the machine. Run by CTest (DRILL_PACKAGE_TESTS) after cpack.
# Usage: deb_package_test.sh BUILD_FOLDER SESSION_CHECK (the test-support
# checker of a session, tests/support/session_check.cc)
set -euo pipefail

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

shopt -s nullglob
packages=("$1"/mathdrill_*.deb)
[ ${#packages[@]} -eq 1 ] || fail "expected one mathdrill_*.deb in $1 (run cpack first), found ${#packages[@]}"
deb=${packages[0]}
echo "package: $deb"

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT

# Control fields: the C library is declared, the section is games.
[ "$(dpkg-deb --field "$deb" Package)" = mathdrill ] || fail "package name"
depends=$(dpkg-deb --field "$deb" Depends)
[[ $depends == *libc6* ]] || fail "Depends does not name libc6: '$depends'"
[ "$(dpkg-deb --field "$deb" Section)" = games ] || fail "section"

# Files: the drill in /usr/games with its manual page in section 6, the menu
# entry and its icon, mathdrill-progress beside it with its manual page in
# section 1, the copyright and changelog, lintian's overrides; nothing
# else but folders.
dpkg-deb --contents "$deb" | awk '{print $6}' | grep -v '/$' | sort >"$root/files"
printf '%s\n' ./usr/games/mathdrill ./usr/games/mathdrill-progress \
  ./usr/share/applications/mathdrill.desktop \
  ./usr/share/doc/mathdrill/changelog.gz ./usr/share/doc/mathdrill/copyright \
  ./usr/share/icons/hicolor/scalable/apps/mathdrill.svg \
  ./usr/share/lintian/overrides/mathdrill \
  ./usr/share/man/man1/mathdrill-progress.1.gz \
  ./usr/share/man/man6/mathdrill.6.gz | diff - "$root/files" ||
  fail "unexpected package contents"

dpkg-deb --extract "$deb" "$root/fs"
drill=$root/fs/usr/games/mathdrill
[ -x "$drill" ] || fail "usr/games/mathdrill is not executable"
manual=$root/fs/usr/share/man/man6/mathdrill.6.gz
zcat "$manual" | grep -q '^\.SH EXIT STATUS' || fail "the manual page has no EXIT STATUS section"
zcat "$manual" | grep -q '^\.TH MATHDRILL 6 ' || fail "the manual page is not mathdrill(6)"
grep -qx 'Exec=mathdrill' "$root/fs/usr/share/applications/mathdrill.desktop" ||
  fail "the menu entry does not start mathdrill"
grep -qx 'Terminal=true' "$root/fs/usr/share/applications/mathdrill.desktop" ||
  fail "the menu entry does not run in a terminal"
zcat "$root/fs/usr/share/doc/mathdrill/changelog.gz" | head -n 1 | grep -q '^mathdrill (' ||
  fail "the changelog is not mathdrill's"
if command -v groff >/dev/null; then
  for page in "$manual" "$root/fs/usr/share/man/man1/mathdrill-progress.1.gz"; do
    warnings=$(zcat "$page" | groff -man -Tutf8 -ww -z 2>&1)
    [ -z "$warnings" ] || fail "$(basename "$page") renders with warnings: $warnings"
  done
fi

source "$(dirname "$0")/package_session.sh"
check_session "$drill" "$root/run" "$2"
check_progress "$root/fs/usr/games/mathdrill-progress" "$root/run"
echo "ok: $(dpkg-deb --field "$deb" Package Version Architecture Depends | tr '\n' ' ')"
