# A scripted session of an installed mathdrill, for the package tests:
# check_session PROGRAM FOLDER runs PROGRAM in FOLDER (created if missing)
# with the limit 0, twenty right answers and "n", and checks its console
# output and the one block it appends to FOLDER/records.txt. Calls fail()
# (defined by the sourcing script) on the first mismatch.
check_session() {
  local program=$1 folder=$2 status=0 records line expected_lines
  # A short session: limit 0, so every answer is 0; twenty right, then "n".
  mkdir -p "$folder"
  {
    printf 'Ann\n0\n'
    for _ in $(seq 20); do printf '0\n'; done
    printf 'n\n'
  } >"$folder/.input"
  (cd "$folder" && TZ=UTC timeout 20 "$program" <.input >.output 2>.errors) ||
    status=$?
  [ $status -eq 0 ] || fail "mathdrill ended with status $status"
  [ ! -s "$folder/.errors" ] || fail "mathdrill wrote to standard error: $(cat "$folder/.errors")"
  grep -q '^What is your name? How big do you want the addends to be? Starting time:  ' \
    "$folder/.output" || fail "no greeting and questions"
  grep -qF '= That is right, Ann!  Now you have 20 out of 20' "$folder/.output" ||
    fail "no 20th right answer"
  grep -q '^You got 20 right out of 20 which is 100% -- so your grade is A+$' "$folder/.output" ||
    fail "no result line"

  # records.txt: one block of nine lines, each ended by CR LF.
  records=$folder/records.txt
  [ -f "$records" ] || fail "no records.txt"
  [ "$(wc -l <"$records")" -eq 9 ] || fail "records.txt does not have nine lines"
  [ "$(grep -c $'\r$' "$records")" -eq 9 ] || fail "records.txt lines do not end in CR LF"
  [ "$(grep -c $'\r\r$' "$records")" -eq 0 ] || fail "records.txt has CR CR LF"
  expected_lines=(
    '-----------drillo1.exe: from www.velmora-math.com----------------------------'
    'Test results for Ann:'
    'Test description: 20  problems, mixed addition/subtraction (random 50/50)'
    'Addend limits 0 through 0'
    'Results: 20 right out of 20, grade 100% / A+'
  )
  for line in "${expected_lines[@]}"; do
    grep -qxF -e "$line"$'\r' "$records" || fail "records.txt lacks the line '$line'"
  done
}
