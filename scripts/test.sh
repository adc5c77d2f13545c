#!/usr/bin/env bash
# Installs what is missing, builds everything (benchmarks included), and runs
# every test headless.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
tallorix_install_deps
bash scripts/build.sh build
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j"$(nproc)"
