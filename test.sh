#!/bin/bash
# test.sh - build with AddressSanitizer and UndefinedBehaviorSanitizer and
# run every test (unit and end to end) through CTest.
# test.sh --coverage: build with gcov instead (build-cov), run every test
# and print the line coverage of src/.
set -e
cd "$(dirname "$0")"
. ./tools/deps.sh
ensure_deps test
if [ "${1:-}" = --coverage ]; then
  shift
  cmake -S . -B build-cov -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS="--coverage -O0" \
    -DCMAKE_EXE_LINKER_FLAGS=--coverage >/dev/null
  cmake --build build-cov -j"$(nproc)"
  find build-cov -name '*.gcda' -delete
  (cd build-cov && ctest -j"$(nproc)" "$@") || echo "test.sh: some tests failed; coverage of the rest follows" >&2
  exec python3 tools/coverage.py build-cov .
fi
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Debug -DONDREL_SANITIZE=ON -DONDREL_WERROR=ON
cmake --build build-test -j"$(nproc)"
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
cd build-test
ctest --output-on-failure -j"$(nproc)" "$@"
