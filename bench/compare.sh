#!/bin/bash
# compare.sh [ONDREL] - time the programs of bench/scheme/ with ondrel and
# with the Scheme systems Debian packages (tinyscheme, guile, csi) when
# they are installed, and print ondrel's time as a ratio of each peer's.
# Each figure is the best of three runs of the whole process; a peer that
# reports an error on a program (Debian's tinyscheme refuses vector-ref
# with a computed index) is shown as "fails".
set -u
here=$(cd "$(dirname "$0")" && pwd)
ONDREL=${1:-$here/../build/ondrel}
best() {  # best CMD... : the least wall time of three runs, in seconds,
          # or "fails" when the program reports an error
  if "$@" 2>&1 | grep -q -i 'error'; then echo fails; return; fi
  local b=""
  for _ in 1 2 3; do
    local s e
    s=$(date +%s.%N); "$@" > /dev/null 2>&1; e=$(date +%s.%N)
    local t; t=$(echo "$e - $s" | bc)
    if [ -z "$b" ] || [ "$(echo "$t < $b" | bc)" = 1 ]; then b=$t; fi
  done
  printf '%.3f' "$b"
}
peers=()
command -v tinyscheme > /dev/null && peers+=(tinyscheme)
command -v guile > /dev/null && peers+=(guile)
command -v csi > /dev/null && peers+=(csi)
printf '%-10s %8s' program ondrel
for p in "${peers[@]}"; do printf ' %10s %7s' "$p" ratio; done
echo
for f in "$here"/scheme/*.sc; do
  name=$(basename "$f" .sc)
  o=$(best sh -c "\"$ONDREL\" < \"$f\"")
  printf '%-10s %8s' "$name" "$o"
  for p in "${peers[@]}"; do
    case $p in
      tinyscheme) t=$(best tinyscheme "$f") ;;
      guile) t=$(best guile --no-auto-compile -s "$f") ;;
      csi) t=$(best csi -q -s "$f") ;;
    esac
    if [ "$t" = fails ]; then
      printf ' %10s %7s' "fails" "-"
    else
      printf ' %10s %7.2f' "$t" "$(echo "$o / $t" | bc -l)"
    fi
  done
  echo
done
