#!/bin/bash
# run.sh [file.sc ...] - build Ondrel (Release) when needed and start it in
# the caller's directory, so file names are taken from where it was run.
set -e
top=$(cd "$(dirname "$0")" && pwd)
(
  cd "$top"
  . ./tools/deps.sh
  ensure_deps core
  cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DONDREL_TESTS=OFF > build.log 2>&1 || { cat build.log >&2; exit 1; }
  cmake --build build -j"$(nproc)" >> build.log 2>&1 || { cat build.log >&2; exit 1; }
)
exec "$top/build/ondrel" "$@"
