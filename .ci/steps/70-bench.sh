# Short runs of the benchmarks: each must build and run as scripted. Their
# figures are printed, not checked: CI machines are shared and noisy, and the
# memory figures depend on the page cache.
set -euo pipefail
source .ci/lib.sh
need_packages valgrind

# The drill's process cost.
bash bench/run.sh --quick

# mathdrill-progress on a 1 GiB log against wc -l, once each.
bash bench/progress_bench.sh --runs 1
