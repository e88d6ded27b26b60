# The same suite built with Clang, warnings as errors.
set -euo pipefail
cmake --workflow --preset clang
