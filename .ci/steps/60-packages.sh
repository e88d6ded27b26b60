# The packages. The Debian package of mathdrill and mathdrill-progress:
# built and checked unpacked (the pkg workflow's test), then checked by
# lintian and desktop-file-validate and installed on this machine beside
# ldnsutils, run, and removed again. The Windows zip of both programs, the
# read-me and the licence: unpacked and run under Wine.
set -euo pipefail
source .ci/lib.sh
need_packages dpkg-dev groff-base lintian desktop-file-utils ldnsutils \
  g++-mingw-w64-x86-64 wine wine64 googletest

cmake --workflow --preset pkg
bash tests/deb_install_test.sh build/pkg/mathdrill_*.deb build/pkg/tests/support/session_check

# The zip is made from the Windows build of the step before; the programs are
# built here only if that build is missing.
prefix=$PWD/build/mingw/wine
trap 'WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 || true' EXIT
cmake --preset mingw >/dev/null
cmake --build --preset mingw --target mathdrill mathdrill-progress
cpack --preset mingw
bash tests/zip_package_test.sh build/mingw/mathdrill-*-windows-x86_64.zip "$prefix" \
  build/pkg/tests/support/session_check
