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

# check_progress PROGRESS FOLDER runs the installed mathdrill-progress on the
# records.txt that check_session left in FOLDER: its table and its CSV both
# hold Ann's one test, with status 0 and nothing on standard error.
check_progress() {
  local progress=$1 folder=$2 status=0
  (cd "$folder" && "$progress" >.table 2>.errors && "$progress" --csv records.txt >.csv 2>>.errors) ||
    status=$?
  [ $status -eq 0 ] || fail "mathdrill-progress ended with status $status: $(cat "$folder/.errors")"
  [ ! -s "$folder/.errors" ] || fail "mathdrill-progress wrote to standard error: $(cat "$folder/.errors")"
  grep -q '^Ann ' "$folder/.table" || fail "the progress table has no row for Ann"
  [ "$(wc -l <"$folder/.csv")" -eq 2 ] || fail "the CSV does not hold a header and one test"
  grep -q ',Ann,0,20,20,100,A+,' "$folder/.csv" || fail "the CSV row does not show Ann's test"
}
