#!/bin/bash
# compare.sh [-r ROUNDS] [-n] [-p PATTERN] [ONDREL] - run the programs of
# bench/scheme/ with ondrel, `guile --no-auto-compile` and `csi` side by side
# and print ondrel's whole-process time as a ratio of each peer's and of the
# faster peer's.
#
# - First every program runs once on each system and the printed results
#   are compared: a peer that prints something else is shown as "differs"
#   and left out of the ratios for that program.
# - Then ROUNDS rounds (default 5) each run every program once on every
#   system, one after the other, so that a busy machine slows all sides
#   alike; each figure is the median of its ROUNDS wall times.
# - Where valgrind is installed (and -n is not given) each program also runs
#   once under callgrind on every system and the ratio of ondrel's
#   instruction count to each peer's is printed. The peers' counts are kept
#   in a cache file beside ONDREL, keyed by the program's contents, since
#   only ondrel changes from one measurement to the next.
# -p PATTERN runs only the programs whose name matches the shell pattern.
set -u
here=$(cd "$(dirname "$0")" && pwd)
rounds=5
use_valgrind=1
pattern='*'
while getopts "r:np:" opt; do
  case $opt in
    r) rounds=$OPTARG ;;
    n) use_valgrind=0 ;;
    p) pattern=$OPTARG ;;
    *) echo "usage: compare.sh [-r ROUNDS] [-n] [-p PATTERN] [ONDREL]" >&2; exit 2 ;;
  esac
done
shift $((OPTIND - 1))
ONDREL=$(readlink -f "${1:-$here/../build/ondrel}")
[ -x "$ONDREL" ] || { echo "compare.sh: no program at $ONDREL" >&2; exit 2; }
command -v valgrind > /dev/null || use_valgrind=0

systems=(ondrel)
command -v guile > /dev/null && systems+=(guile)
command -v csi > /dev/null && systems+=(csi)

# Every run happens in a directory of its own, so an include.sc lying in the
# caller's directory cannot replace the one beside the program.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 2

# run SYSTEM FILE: run the program; its output on standard output.
run() {
  case $1 in
    ondrel) "$ONDREL" "$2" < /dev/null ;;
    guile) guile --no-auto-compile -s "$2" < /dev/null ;;
    csi) csi -q -s "$2" < /dev/null ;;
  esac
}
# results SYSTEM FILE: what the program printed, without ondrel's banner,
# loading line and farewell.
results() {
  run "$1" "$2" 2>&1 | grep -v -e '^Ondrel Version' -e '^ An interactive' -e '^Initialize \.\.\.' \
    -e '^Init File Loading' -e '^; Loading\. ' -e '^Bye\.$' -e '^$'
}
# instructions SYSTEM FILE: callgrind's count of instructions of one run.
instructions() {
  local log="$work/callgrind.log"
  case $1 in
    ondrel) valgrind --tool=callgrind --callgrind-out-file=/dev/null "$ONDREL" "$2" < /dev/null > /dev/null 2> "$log" ;;
    guile) valgrind --tool=callgrind --callgrind-out-file=/dev/null guile --no-auto-compile -s "$2" < /dev/null > /dev/null 2> "$log" ;;
    csi) valgrind --tool=callgrind --callgrind-out-file=/dev/null csi -q -s "$2" < /dev/null > /dev/null 2> "$log" ;;
  esac
  sed -n 's/.*Collected : *\([0-9]*\).*/\1/p' "$log" | tail -1
}
cache="$(dirname "$ONDREL")/bench-peer-instructions.cache"
touch "$cache" 2> /dev/null || cache="$work/cache"
# peer_instructions SYSTEM FILE: the cached count, measured when missing.
peer_instructions() {
  local key n
  key="$1 $(sha1sum < "$2" | cut -c1-40)"
  n=$(grep "^$key " "$cache" | tail -1 | cut -d' ' -f3)
  if [ -z "$n" ]; then
    n=$(instructions "$1" "$2")
    [ -n "$n" ] && echo "$key $n" >> "$cache"
  fi
  echo "$n"
}
median() { sort -g | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else printf "-" }'; }

programs=()
for f in "$here"/scheme/$pattern.sc; do [ -e "$f" ] && programs+=("$f"); done
[ ${#programs[@]} -gt 0 ] || { echo "compare.sh: no program matches $pattern" >&2; exit 2; }

# Same printed results everywhere, or the peer is left out of that row.
declare -A valid
for f in "${programs[@]}"; do
  name=$(basename "$f" .sc)
  want=$(results ondrel "$f")
  if grep -q '^Error : ' <<< "$want"; then
    echo "compare.sh: $name fails in ondrel:" >&2
    echo "$want" >&2
  fi
  valid[$name.ondrel]=1
  for s in "${systems[@]:1}"; do
    got=$(results "$s" "$f")
    if [ "$got" = "$want" ]; then
      valid[$name.$s]=1
    else
      valid[$name.$s]=0
      echo "compare.sh: $name prints something else in $s" >&2
    fi
  done
done

# Round-robin timing: every round runs each program on each system once.
times="$work/times"
: > "$times"
for ((r = 1; r <= rounds; r++)); do
  for f in "${programs[@]}"; do
    name=$(basename "$f" .sc)
    for s in "${systems[@]}"; do
      start=$EPOCHREALTIME
      run "$s" "$f" > /dev/null 2>&1
      end=$EPOCHREALTIME
      echo "$name $s $(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.4f", b - a }')" >> "$times"
    done
  done
done

printf '%-10s' program
for s in "${systems[@]}"; do printf ' %8s' "$s"; done
for s in "${systems[@]:1}"; do printf ' %7s' "/$s"; done
[ ${#systems[@]} -gt 1 ] && printf ' %7s' "/faster"
if [ "$use_valgrind" = 1 ]; then
  for s in "${systems[@]:1}"; do printf ' %8s' "Ir/$s"; done
fi
echo
for f in "${programs[@]}"; do
  name=$(basename "$f" .sc)
  printf '%-10s' "$name"
  declare -A med=()
  for s in "${systems[@]}"; do
    med[$s]=$(awk -v n="$name" -v s="$s" '$1 == n && $2 == s { print $3 }' "$times" | median)
    if [ "${valid[$name.$s]}" = 1 ]; then printf ' %8.3f' "${med[$s]}"; else printf ' %8s' differs; fi
  done
  best=""
  for s in "${systems[@]:1}"; do
    if [ "${valid[$name.$s]}" = 1 ]; then
      printf ' %7s' "$(ratio "${med[ondrel]}" "${med[$s]}")"
      if [ -z "$best" ] || awk -v a="${med[$s]}" -v b="$best" 'BEGIN { exit !(a < b) }'; then best=${med[$s]}; fi
    else
      printf ' %7s' -
    fi
  done
  if [ ${#systems[@]} -gt 1 ]; then
    if [ -n "$best" ]; then printf ' %7s' "$(ratio "${med[ondrel]}" "$best")"; else printf ' %7s' -; fi
  fi
  if [ "$use_valgrind" = 1 ]; then
    own=$(instructions ondrel "$f")
    for s in "${systems[@]:1}"; do
      if [ "${valid[$name.$s]}" = 1 ]; then
        printf ' %8s' "$(ratio "$own" "$(peer_instructions "$s" "$f")")"
      else
        printf ' %8s' -
      fi
    done
  fi
  echo
done
