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
# A NAME.sh that exits with 77 could not run here (a tool or a permission
# is missing; it says why on standard error): the folder then reports
# itself skipped to CTest, so such a case keeps to a folder of its own.
set -u
ONDREL=$(readlink -f "$1")
DIR=$(readlink -f "$2")
export ONDREL
pass=0; fail=0; skip=0
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
  if [[ $case == *.sh ]] && [ "$status" = 77 ]; then
    skip=$((skip + 1))
    echo "SKIPPED: $base: $(head -1 "$work/.stderr")"
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
echo "$(basename "$DIR"): $pass passed, $fail failed, $skip skipped"
[ "$fail" -eq 0 ] || exit 1
[ "$skip" -eq 0 ] || exit 77
