#!/bin/bash
# run.sh [file.sc ...] - build Ondrel (Release) when needed and start it.
set -e
cd "$(dirname "$0")"
. ./tools/deps.sh
ensure_deps core
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DONDREL_TESTS=OFF > build.log 2>&1 || { cat build.log >&2; exit 1; }
cmake --build build -j"$(nproc)" >> build.log 2>&1 || { cat build.log >&2; exit 1; }
exec ./build/ondrel "$@"
