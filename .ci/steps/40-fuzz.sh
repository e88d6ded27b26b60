# Coverage-guided fuzzing with libFuzzer: builds the targets under fuzz/
# (which replays the seed corpus), then runs each target for a bounded time
# on a copy of its seeds. Any crash, hang or sanitizer report fails the step
# and prints the input that caused it. Nothing is written into the
# repository.
set -euo pipefail
source .ci/lib.sh
need_packages clang libclang-rt-14-dev

cmake --workflow --preset fuzz

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for target in session number records answers; do
  mkdir -p "$work/$target/corpus" "$work/$target/crashes"
  cp fuzz/corpus/"$target"/* "$work/$target/corpus/"
  echo "== fuzzing ${target}_fuzz for 60 s"
  if ! build/fuzz/fuzz/"${target}"_fuzz -max_total_time=60 -timeout=5 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$work/$target/crashes/" "$work/$target/corpus"; then
    echo "${target}_fuzz failed; the input (reproduce with: build/fuzz/fuzz/${target}_fuzz FILE):"
    for input in "$work/$target/crashes"/*; do
      [ -e "$input" ] || continue
      echo "-- $(basename "$input"), base64:"
      base64 "$input"
    done
    exit 1
  fi
done
