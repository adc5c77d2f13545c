#!/usr/bin/env bash
# Configures and builds into build/ (or the folder given as $1, with further
# CMake options after it). Every build has the tests and benchmarks unless an
# option turns them off, so the application and the test commands share one
# configuration and never rebuild each other's work. TALLORIX_TARGET builds
# just that target.
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${1:-build}"
shift || true
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE="${TALLORIX_BUILD_TYPE:-RelWithDebInfo}" \
    -DTALLORIX_BUILD_TESTS=ON -DTALLORIX_BUILD_BENCH=ON "$@"
cmake --build "$dir" -j"$(nproc)" ${TALLORIX_TARGET:+--target "$TALLORIX_TARGET"}
