#!/usr/bin/env bash
# Installs what is missing, builds the application, and starts it. Needs a
# desktop session.
set -euo pipefail
cd "$(dirname "$0")/.."
# Without an X or Wayland display Qt aborts with advice about reinstalling;
# say what is really missing before installing or building anything. macOS
# always has a display.
if [ "$(uname -s)" != Darwin ] && [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "Tallorix needs a graphical session: start it from a desktop, where DISPLAY or WAYLAND_DISPLAY is set." >&2
    exit 1
fi
source scripts/deps.sh
tallorix_install_deps "${TALLORIX_RUN_PACKAGES[@]}"
TALLORIX_TARGET=tallorix bash scripts/build.sh build
exec build/tallorix "$@"
