#!/bin/bash
# gc_stress.sh ONDREL E2E_DIR - end-to-end cases again with a collection at
# every allocation (ONDREL_GC_STRESS=1): an object that nothing protects
# across an allocation is reclaimed, and the output differs.  Each line of
# gc_stress.cases names a group and the cases to run in it ("-" for none,
# with the reason beside it); a group it does not name is a failure, so that
# a new group is looked at.  Two groups run at a time.
set -u
ONDREL=$(readlink -f "$1")
E2E=$(readlink -f "$2")
export ONDREL_GC_STRESS=1 E2E_TIMEOUT=600
logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT
run() {
  local only
  only=$(awk -v g="$1" '$1 == g { if ($2 == "-") print "-"; else { $1 = ""; print } }' "$E2E/gc_stress.cases")
  [ "$only" = - ] && return
  local c missing=
  for c in $only; do [ -e "$E2E/$1/$c.out" ] || missing+=" $c"; done
  if [ -z "$only" ] || [ -n "$missing" ]; then
    echo "$1: not named in gc_stress.cases, or no such case:$missing" > "$logs/$1"
    echo 1 > "$logs/$1.status"
    return
  fi
  E2E_ONLY="$only" "$E2E/run_e2e.sh" "$ONDREL" "$E2E/$1" > "$logs/$1" 2>&1
  echo $? > "$logs/$1.status"
}
groups=()
for dir in "$E2E"/*/; do groups+=("$(basename "$dir")"); done
for g in "${groups[@]}"; do
  run "$g" &
  while [ "$(jobs -rp | wc -l)" -ge 2 ]; do wait -n; done
done
wait
failed=0
for g in "${groups[@]}"; do
  [ -e "$logs/$g.status" ] || continue
  cat "$logs/$g"
  status=$(cat "$logs/$g.status")
  [ "$status" = 0 ] || [ "$status" = 77 ] || failed=1
done
exit $failed
