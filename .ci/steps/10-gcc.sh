# The README's test command: GCC, warnings as errors, every test.
set -euo pipefail
cmake --workflow --preset test
