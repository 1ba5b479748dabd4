#!/bin/sh
# sandbox_check.sh FUZZ_INTERP INPUT_DIR - run the interpreter target over
# inputs that try to write files, start commands and read devices, in an
# empty scratch directory: it must end normally with the directory still
# empty.
set -u
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch" || exit 1
"$1" "$2" >/dev/null || { echo "sandbox: the target failed"; exit 1; }
left=$(ls -A)
if [ -n "$left" ]; then
  echo "sandbox: files were created: $left"
  exit 1
fi
echo "sandbox: nothing written, no command run"
