# mathdrill.exe and its tests cross-built for 64-bit Windows with MinGW-w64
# (statically linked, warnings as errors) and run under Wine: the unit and
# in-process tests, the Windows platform layer, and mathdrill.exe as a process
# through pipes (CR LF console lines, Ctrl-Z, the bytes of records.txt).
set -euo pipefail
source .ci/lib.sh
need_packages g++-mingw-w64-x86-64 wine wine64 googletest

# Wine's prefix lives in the build folder (build/mingw/wine). Its server and
# background programs are ended with the step, however the step ends.
prefix=$PWD/build/mingw/wine
trap 'WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 || true' EXIT
# Wine's first start creates the prefix, which can take a minute: done here,
# so that test discovery in the build does not have to wait for it.
mkdir -p "$prefix"
WINEDEBUG=-all WINEPREFIX=$prefix timeout 300 wineboot --init </dev/null >/dev/null 2>&1

cmake --workflow --preset mingw
