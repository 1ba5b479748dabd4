#!/bin/bash
# run every e2e group under ONDREL_GC_STRESS=1 with the given binary
bin=$(readlink -f "$1")
cd "$(dirname "$0")/.."
for d in tests/e2e/*/; do
  g=$(basename "$d")
  ONDREL_GC_STRESS=1 timeout 1200 nice bash tests/e2e/run_e2e.sh "$bin" "$d" 2>&1 | tail -1
done
