#!/bin/bash
# fuzz.sh [seconds] - build the libFuzzer targets with clang and run each
# for the given number of seconds (default 60), one after the other on one
# core.  New inputs go to fuzz/corpus/TARGET; crashes, leaks and hangs to
# build-fuzz/findings/TARGET.  Copy a finding into fuzz/regressions/TARGET
# once it is fixed: the test suite replays both folders.
set -e
cd "$(dirname "$0")"
secs=${1:-60}
targets=${FUZZ_TARGETS:-"reader interp cursor"}
cmake -S . -B build-fuzz -DONDREL_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
for t in $targets; do cmake --build build-fuzz -j2 --target fuzz_$t >/dev/null; done
root=$(pwd)
# The interpreter may write files (snapshots): it runs in a scratch directory.
work=$(mktemp -d /tmp/ondrel-fuzz.XXXXXX)
trap 'rm -rf "$work"' EXIT
export ASAN_OPTIONS=abort_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
status=0
# The reader and the interpreter start from the end-to-end inputs.
seeds="$work/seeds"
mkdir -p "$seeds"
find "$root/tests/e2e" -type f \( -name '*.sc' -o -name '*.in' \) | while read -r f; do
  rel=${f#"$root/tests/e2e/"}
  cp "$f" "$seeds/${rel//\//-}"
done
for t in $targets; do
  seed_dir=()
  [ "$t" != cursor ] && seed_dir=("$seeds")
  mkdir -p "$root/fuzz/corpus/$t" "$root/fuzz/regressions/$t" "$root/build-fuzz/findings/$t"
  dict=()
  [ -e "$root/fuzz/$t.dict" ] && dict=(-dict="$root/fuzz/$t.dict")
  echo "fuzz.sh: $t for ${secs}s" >&2
  (cd "$work" && "$root/build-fuzz/fuzz/fuzz_$t" "${dict[@]}" -max_total_time="$secs" -timeout=10 -max_len=2048 \
     -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$root/build-fuzz/findings/$t/" \
     "$root/fuzz/corpus/$t" "$root/fuzz/regressions/$t" "${seed_dir[@]}") || status=1
done
exit $status
