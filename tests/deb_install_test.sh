#!/usr/bin/env bash
# Installs the Debian package of mathdrill on this machine as a user would,
# beside ldnsutils (whose DNS tool is /usr/bin/drill), and checks it: lintian
# finds no error and no warning, the menu entry is valid, the package
# installs, the installed mathdrill runs a whole session and writes its
# block, `drill` is still the DNS tool, and the package removes cleanly.
# Needs root and the packages lintian, desktop-file-utils and ldnsutils; CI
# runs it. Usage: deb_install_test.sh PACKAGE.deb SESSION_CHECK (the
# test-support checker of a session, tests/support/session_check.cc)
set -euo pipefail

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

deb=$(realpath "$1")
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT

# Debian's checks of the package and of its menu entry.
lintian --allow-root --fail-on error,warning "$deb" || fail "lintian reports errors or warnings"
dpkg-deb --extract "$deb" "$root/fs"
desktop-file-validate "$root/fs/usr/share/applications/mathdrill.desktop" ||
  fail "the desktop entry is not valid"

dns_tool() {
  drill -v 2>&1 | grep -q 'ldns' || fail "drill is not the DNS tool of ldnsutils"
}
dpkg -s ldnsutils >/dev/null 2>&1 || fail "ldnsutils must be installed first"
dns_tool

DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >/dev/null ||
  fail "the package does not install beside ldnsutils"
[ "$(dpkg-query -W -f '${Status}' mathdrill)" = "install ok installed" ] ||
  fail "mathdrill is not installed"
# A user's PATH on Debian holds /usr/games; the program is found by name there.
program=$(PATH=/usr/local/bin:/usr/bin:/bin:/usr/local/games:/usr/games command -v mathdrill) ||
  fail "mathdrill is not on a user's PATH"
[ "$program" = /usr/games/mathdrill ] || fail "mathdrill found at $program, not /usr/games"
source "$(dirname "$0")/package_session.sh"
check_session "$program" "$root/run" "$(realpath "$2")"
progress=$(PATH=/usr/local/bin:/usr/bin:/bin:/usr/local/games:/usr/games command -v mathdrill-progress) ||
  fail "mathdrill-progress is not on a user's PATH"
check_progress "$progress" "$root/run"
dns_tool
[ "$(dpkg -S /usr/bin/drill | cut -d: -f1)" = ldnsutils ] || fail "/usr/bin/drill changed hands"

DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq mathdrill >/dev/null ||
  fail "the package does not remove"
[ "$(dpkg-query -W -f '${Status}' mathdrill 2>/dev/null || true)" != "install ok installed" ] ||
  fail "mathdrill is still installed"
for path in /usr/games/mathdrill /usr/games/mathdrill-progress /usr/share/man/man6/mathdrill.6.gz \
  /usr/share/applications/mathdrill.desktop /usr/share/doc/mathdrill; do
  [ ! -e "$path" ] || fail "$path is left after removal"
done
dns_tool
echo "ok: $(basename "$deb") installs beside ldnsutils, runs and removes cleanly"
