# The packages: the Debian package of drill and its manual page, checked by
# unpacking it and running the installed drill (the pkg workflow's test); and
# the Windows zip of drill.exe and its read-me, unpacked and run under Wine.
set -euo pipefail
source .ci/lib.sh
need_packages dpkg-dev groff-base g++-mingw-w64-x86-64 wine wine64 googletest

cmake --workflow --preset pkg

# The zip is made from the Windows build of the step before; drill.exe is
# built here only if that build is missing.
prefix=$PWD/build/mingw/wine
trap 'WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 || true' EXIT
cmake --preset mingw >/dev/null
cmake --build --preset mingw --target drill
cpack --preset mingw
bash tests/zip_package_test.sh build/mingw/drill-*-windows-x86_64.zip "$prefix"
