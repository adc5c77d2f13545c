#!/usr/bin/env bash
# The application with a display it can't reach and no Qt platform chosen for
# it: one line on stderr naming the display, and status 1.
runtime="$(mktemp -d)"
trap 'rm -rf "$runtime"' EXIT
out="$(env -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY DISPLAY=:77 XDG_RUNTIME_DIR="$runtime" \
    timeout 60 "$1" 2>&1 >/dev/null)"
rc=$?
[ "$rc" -eq 1 ] && [ "$out" = "can't reach the display :77" ] || { echo "status $rc: $out" >&2; exit 1; }
