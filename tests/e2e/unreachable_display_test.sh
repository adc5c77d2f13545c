#!/usr/bin/env bash
# The application started with a display it can't reach and no Qt platform
# chosen for it: it names the display in one line on stderr, and exits with
# status 1. Usage: unreachable_display_test.sh <application>
set -u
runtime="$(mktemp -d)"
trap 'rm -rf "$runtime"' EXIT
status=0
while IFS='|' read -r displays expected; do
    out="$(env -u QT_QPA_PLATFORM -u DISPLAY -u WAYLAND_DISPLAY XDG_RUNTIME_DIR="$runtime" \
        HOME="$runtime" $displays "$1" 2>&1 >/dev/null)"
    rc=$?
    if [ "$rc" -ne 1 ] || [ "$out" != "$expected" ]; then
        printf 'FAILED with %s: status %s, stderr:\n%s\n' "$displays" "$rc" "$out" >&2
        status=1
    fi
done <<'EOF'
DISPLAY=:77|can't reach the display :77
WAYLAND_DISPLAY=tallorix-none DISPLAY=:77|can't reach the display tallorix-none or :77
EOF
exit $status
