#!/bin/bash
# test.sh - build with AddressSanitizer and UndefinedBehaviorSanitizer and
# run every test (unit and end to end) through CTest.
set -e
cd "$(dirname "$0")"
. ./tools/deps.sh
ensure_deps test
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Debug -DONDREL_SANITIZE=ON -DONDREL_WERROR=ON
cmake --build build-test -j"$(nproc)"
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
cd build-test
ctest --output-on-failure -j"$(nproc)" "$@"
