#!/bin/sh
# Runs a Windows program under Wine for CTest and for test discovery: the
# emulator that cmake/toolchains/mingw-w64.cmake sets up. Wine runs quietly in
# the prefix given first, created on first use.
# Usage: wine-run.sh PREFIX PROGRAM [ARGUMENT...]
WINEPREFIX=$1
shift
WINEDEBUG=-all
export WINEPREFIX WINEDEBUG
mkdir -p "$WINEPREFIX"
# Wine's server and its background programs are started first, detached from
# the caller's output (CTest would wait for them to close it), and are kept
# for 30 s after the last program ends, so that each test does not pay
# seconds for a fresh start; then they end by themselves. When a server runs
# already, wineserver fails and this is skipped.
if wineserver -p30 </dev/null >/dev/null 2>&1; then
  wine wineboot </dev/null >/dev/null 2>&1
fi
exec wine "$@"
