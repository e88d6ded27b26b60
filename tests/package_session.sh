# A scripted session of an installed mathdrill, for the package tests:
# check_session PROGRAM FOLDER SESSION_CHECK runs PROGRAM in FOLDER (created
# if missing) with the limit 0, twenty right answers and "n", and has the
# test-support checker SESSION_CHECK check its console output and the one
# block it appends to FOLDER/records.txt. Calls fail() (defined by the
# sourcing script) on the first mismatch.
check_session() {
  local program=$1 folder=$2 checker=$3 status=0
  mkdir -p "$folder"
  {
    printf 'Ann\n0\n'
    for _ in $(seq 20); do printf '0\n'; done
    printf 'n\n'
  } >"$folder/.input"
  (cd "$folder" && TZ=UTC timeout 20 "$program" <.input >.output 2>.errors) || status=$?
  [ $status -eq 0 ] || fail "mathdrill ended with status $status"
  [ ! -s "$folder/.errors" ] || fail "mathdrill wrote to standard error: $(cat "$folder/.errors")"
  "$checker" "$folder/.output" "$folder/records.txt" Ann 0 20 ||
    fail "the session's output or records.txt is wrong"
}
