#!/bin/bash
# run_e2e.sh ONDREL DIR - run every case of one end-to-end folder.
#
# A case NAME is one of:
#   NAME.sc   fed to the interpreter's standard input, from a fresh working
#             directory holding copies of DIR's files;
#   NAME.sh   a script run in that directory with $ONDREL set to the binary
#             (for command lines, environment and files around the run).
# Optional beside it: NAME.args (command-line arguments, one line, for .sc
# cases) and NAME.status (expected exit status, default 0).
# NAME.out holds the expected standard output, compared byte for byte.
# A script case that exits with 77 is skipped (a tool or display it needs is
# missing); a folder with a skipped case and no failure exits with 77, which
# CTest reports as skipped.
set -u
ONDREL=$(readlink -f "$1")
DIR=$(readlink -f "$2")
E2E_DIR=$(dirname "$DIR")  # shared helpers of the script cases
export ONDREL E2E_DIR
SKIP=77
pass=0; fail=0; skipped=0
for case in "$DIR"/*.sc "$DIR"/*.sh; do
  [ -e "$case" ] || continue
  name=${case%.*}
  [ -e "$name.out" ] || continue
  base=$(basename "$name")
  work=$(mktemp -d)
  cp -r "$DIR"/. "$work"/
  args=()
  [ -e "$name.args" ] && read -r -a args < "$name.args"
  want_status=0
  [ -e "$name.status" ] && want_status=$(cat "$name.status")
  if [[ $case == *.sc ]]; then
    (cd "$work" && timeout 120 "$ONDREL" "${args[@]}" < "$case" > "$work/.stdout" 2> "$work/.stderr")
  else
    (cd "$work" && timeout 120 bash "$case" > "$work/.stdout" 2> "$work/.stderr")
  fi
  status=$?
  if [[ $case == *.sh ]] && [ "$status" = "$SKIP" ]; then
    skipped=$((skipped + 1))
    echo "SKIPPED: $base: $(tail -1 "$work/.stderr")"
  elif cmp -s "$work/.stdout" "$name.out" && [ "$status" = "$want_status" ]; then
    pass=$((pass + 1))
  else
    fail=$((fail + 1))
    echo "FAIL: $base (exit $status, want $want_status)"
    diff <(od -c "$name.out") <(od -c "$work/.stdout") | head -20
    head -5 "$work/.stderr"
  fi
  rm -rf "$work"
done
if [ "$skipped" -gt 0 ]; then
  echo "$(basename "$DIR"): $pass passed, $fail failed, $skipped skipped"
  [ "$fail" -eq 0 ] && exit "$SKIP"
  exit 1
fi
echo "$(basename "$DIR"): $pass passed, $fail failed"
[ "$fail" -eq 0 ]
