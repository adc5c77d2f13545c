#!/usr/bin/env bash
# Installs what is missing, builds, and starts the application.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
tallorix_install_deps
bash scripts/build.sh build -DTALLORIX_BUILD_TESTS=OFF -DTALLORIX_BUILD_BENCH=OFF
exec build/tallorix "$@"
