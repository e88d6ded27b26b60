# A short run of the process-cost benchmark: it must build and run its
# sessions as scripted. Its figures are printed, not checked: CI machines are
# shared and noisy, and the memory figure depends on the page cache.
set -euo pipefail
source .ci/lib.sh
need_packages valgrind
bash bench/run.sh --quick
