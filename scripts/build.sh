#!/usr/bin/env bash
# Configures and builds into build/ (or the folder given as $1, with further
# CMake options after it).
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${1:-build}"
shift || true
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE="${TALLORIX_BUILD_TYPE:-RelWithDebInfo}" "$@"
cmake --build "$dir" -j"$(nproc)"
