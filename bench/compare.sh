#!/bin/bash
# compare.sh [PROGRAM.sc ...] - time Scheme programs under ondrel and the
# peer interpreters (TinyScheme, Guile without auto-compilation, CHICKEN's
# csi) and print ondrel's time as a ratio of each peer's.  Defaults to the
# programs in this folder.  ONDREL names the binary (default build/ondrel,
# built by ./run.sh); each program runs once per interpreter.
set -u
here=$(cd "$(dirname "$0")" && pwd)
ONDREL=${ONDREL:-$here/../build/ondrel}
[ $# -eq 0 ] && set -- "$here"/*.sc
TS_INIT=/usr/lib/tinyscheme/init.scm

# Seconds taken by one command, its output discarded; "-" when it fails.
seconds() {
  local start end
  start=$(date +%s.%N)
  "$@" > /tmp/compare.$$ 2>&1 < /dev/null || { echo -; return; }
  end=$(date +%s.%N)
  echo "$end - $start" | bc
}

ratio() { [ "$2" = - ] || [ "$1" = - ] && echo - || echo "scale=2; $1 / $2" | bc; }

printf '%-14s %8s %10s %8s %8s   %s\n' program ondrel tinyscheme guile csi "ratio ondrel/peer (ts guile csi)"
for prog in "$@"; do
  dir=$(dirname "$prog")
  o=$(cd "$dir" && seconds "$ONDREL" "$prog")
  t=$(seconds tinyscheme "$TS_INIT" "$prog")
  g=$(seconds guile --no-auto-compile "$prog")
  c=$(seconds csi -s "$prog")
  printf '%-14s %8s %10s %8s %8s   %s %s %s\n' "$(basename "$prog")" "$o" "$t" "$g" "$c" \
    "$(ratio "$o" "$t")" "$(ratio "$o" "$g")" "$(ratio "$o" "$c")"
done
rm -f /tmp/compare.$$
