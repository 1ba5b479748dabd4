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
# NAME.out holds the expected standard output, compared byte for byte once
# the banner and the farewell are taken out of both sides: a .out file holds
# only what its case is about.  A .sc case must still show the banner, so a
# program that never started cannot pass.
# A script case that exits with 77 is skipped (a tool or display it needs is
# missing); a folder with a skipped case and no failure exits with 77, which
# CTest reports as skipped.
# run_e2e.sh --strip FILE writes FILE without banners and farewells.
set -u
BANNER=$'Ondrel Version 4.2.w (for Windows) \n An interactive Scheme for learning, on Linux.\nInitialize ... Done !\n'
# Every banner (with the init file's line after it) and every farewell line.
strip() {
  LC_ALL=C perl -0777 -pe 's/^\Q'"$BANNER"'\E(?:Init File Loading\. \n)?//mg;
    s/^(?:Bye\.|\x82\xce\x82\xa2\x82\xce\x82\xa2\x81\x42)\n//mg' "$1"
}
if [ "$1" = --strip ]; then strip "$2"; exit; fi
ONDREL=$(readlink -f "$1")
DIR=$(readlink -f "$2")
E2E_DIR=$(dirname "$DIR")  # shared helpers of the script cases
export ONDREL E2E_DIR
SKIP=77
# E2E_ONLY: the names of the cases to run (all when unset or empty);
# E2E_TIMEOUT: seconds a case may take.
ONLY=" ${E2E_ONLY:-} "
TIMEOUT=${E2E_TIMEOUT:-240}
pass=0; fail=0; skipped=0
for case in "$DIR"/*.sc "$DIR"/*.sh; do
  [ -e "$case" ] || continue
  name=${case%.*}
  [ -e "$name.out" ] || continue
  base=$(basename "$name")
  [ "$ONLY" = "  " ] || [[ $ONLY == *" $base "* ]] || continue
  work=$(mktemp -d)
  cp -r "$DIR"/. "$work"/
  args=()
  [ -e "$name.args" ] && read -r -a args < "$name.args"
  want_status=0
  [ -e "$name.status" ] && want_status=$(cat "$name.status")
  if [[ $case == *.sc ]]; then
    (cd "$work" && timeout "$TIMEOUT" "$ONDREL" "${args[@]}" < "$case" > "$work/.stdout" 2> "$work/.stderr")
  else
    (cd "$work" && timeout "$TIMEOUT" bash "$case" > "$work/.stdout" 2> "$work/.stderr")
  fi
  status=$?
  strip "$work/.stdout" > "$work/.got"
  strip "$name.out" > "$work/.want"
  started=yes
  [[ $case == *.sc ]] && ! cmp -s -n ${#BANNER} <(printf %s "$BANNER") "$work/.stdout" && started=no
  if [[ $case == *.sh ]] && [ "$status" = "$SKIP" ]; then
    skipped=$((skipped + 1))
    echo "SKIPPED: $base: $(tail -1 "$work/.stderr")"
  elif cmp -s "$work/.got" "$work/.want" && [ "$status" = "$want_status" ] && [ $started = yes ]; then
    pass=$((pass + 1))
  else
    fail=$((fail + 1))
    echo "FAIL: $base (exit $status, want $want_status$([ $started = yes ] || echo '; no banner'))"
    diff <(od -c "$work/.want") <(od -c "$work/.got") | head -20
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
