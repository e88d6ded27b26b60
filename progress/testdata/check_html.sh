#!/bin/sh
# Checks that the pages mathdrill-progress writes are well-formed XML, as an
# XML parser (Python's minidom) reads them: the page of the test logs, names
# with markup, stray bytes and terminal escapes among them; the page of one
# child; and the page of a log without tests.
#
#   sh check_html.sh PROGRAM PYTHON3 TESTDATA
set -eu
program=$1
python=$2
testdata=$3

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

check() {
  "$python" -c 'import sys, xml.dom.minidom; xml.dom.minidom.parse(sys.argv[1])' "$1" || {
    echo "check_html.sh: $1 is not well-formed XML" >&2
    exit 1
  }
}

"$program" --html "$work/all.html" "$testdata/records.txt" "$testdata/odd_names.txt" \
  "$testdata/damaged.txt" >/dev/null 2>&1
check "$work/all.html"

"$program" --child 'Zoë' --html "$work/child.html" "$testdata/records.txt" >/dev/null
check "$work/child.html"

: >"$work/empty.txt"
"$program" --html "$work/empty.html" "$work/empty.txt" >/dev/null 2>&1
check "$work/empty.html"

# Every page holds one chart per child it shows.
charts=$(grep -c '<svg ' "$work/all.html")
[ "$charts" = 6 ] || {
  echo "check_html.sh: $charts charts for 6 children" >&2
  exit 1
}
echo "check_html.sh: the pages are well-formed"
