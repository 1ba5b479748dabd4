#!/bin/bash
# regen.sh ONDREL DIR [NAME...] - rewrite the expected output of cases from
# a run of ONDREL, the same way run_e2e.sh runs them, without the banner and
# the farewell.  Review the result with git diff before committing: each
# expected line must be checked as the behaviour wanted, not taken as a
# record of whatever the binary printed.
set -u
ONDREL=$(readlink -f "$1")
DIR=$(readlink -f "$2")
shift 2
export ONDREL
cases=("$@")
if [ ${#cases[@]} -eq 0 ]; then
  for c in "$DIR"/*.sc "$DIR"/*.sh; do [ -e "$c" ] && cases+=("$(basename "${c%.*}")"); done
fi
for base in "${cases[@]}"; do
  name="$DIR/$base"
  work=$(mktemp -d)
  cp -r "$DIR"/. "$work"/
  args=()
  [ -e "$name.args" ] && read -r -a args < "$name.args"
  if [ -e "$name.sc" ]; then
    (cd "$work" && timeout 120 "$ONDREL" "${args[@]}" < "$name.sc" > "$work/.stdout" 2>/dev/null)
  else
    (cd "$work" && E2E_DIR=$(dirname "$DIR") timeout 120 bash "$name.sh" > "$work/.stdout" 2>/dev/null)
  fi
  status=$?
  # A skipped case (77: a tool it needs is missing) keeps its expected output.
  [ "$status" = 77 ] || "$(dirname "$0")/run_e2e.sh" --strip "$work/.stdout" > "$name.out"
  echo "$base: exit $status"
  rm -rf "$work"
done
