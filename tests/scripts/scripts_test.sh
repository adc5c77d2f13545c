#!/usr/bin/env bash
# The README's commands as a new user meets them. They run on a copy of the
# scripts whose install and build steps are stand-ins that only record their
# calls, so no case ever installs or builds anything.
# Usage: scripts_test.sh <source folder> <case>
set -uo pipefail
source_dir="$1"
case_name="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export TRACE="$work/trace"

fail() {
    echo "FAILED: $*" >&2
    [ -f "$TRACE" ] && sed 's/^/  trace: /' "$TRACE" >&2
    exit 1
}

# The run command with stand-ins for installing, building and the program.
copy_run_command() {
    mkdir -p "$work/repo/scripts"
    cp "$source_dir/scripts/run.sh" "$work/repo/scripts/"
    echo 'tallorix_install_deps() { echo installed >> "$TRACE"; }' > "$work/repo/scripts/deps.sh"
    cat > "$work/repo/scripts/build.sh" <<'EOF'
echo "built ${TALLORIX_TARGET:-everything} $*" >> "$TRACE"
mkdir -p build
printf '#!/bin/sh\necho "started $*" >> "$TRACE"\n' > build/tallorix
chmod +x build/tallorix
EOF
}

one_line() { [ "$(printf '%s\n' "$1" | wc -l)" -eq 1 ] && [ -n "$1" ]; }

case "$case_name" in
RunWithoutADisplaySaysSoAndStops)
    [ "$(uname -s)" = Darwin ] && exit 77
    copy_run_command
    out="$(env -u DISPLAY -u WAYLAND_DISPLAY bash "$work/repo/scripts/run.sh" 2>&1)"
    rc=$?
    [ "$rc" -eq 1 ] || fail "exit status $rc, not 1"
    one_line "$out" || fail "not one line: $out"
    grep -q "graphical session" <<<"$out" || fail "no word of a graphical session: $out"
    [ ! -e "$TRACE" ] || fail "installed, built or started without a display"
    ;;
RunWithADisplayBuildsAndStartsTheApplication)
    copy_run_command
    for display in "DISPLAY=:7" "WAYLAND_DISPLAY=wayland-1"; do
        rm -f "$TRACE"
        env -u DISPLAY -u WAYLAND_DISPLAY "$display" bash "$work/repo/scripts/run.sh" --flag \
            || fail "failed with $display"
        [ "$(cat "$TRACE")" = $'installed\nbuilt tallorix build\nstarted --flag' ] \
            || fail "unexpected steps with $display"
    done
    ;;
InstallingWithoutRootOrSudoSaysSoAndFails)
    # A minimal system: no sudo, nothing installed, and not root.
    mkdir "$work/bin"
    ln -s "$(command -v grep)" "$work/bin/grep"
    printf '#!/bin/sh\necho 1000\n' > "$work/bin/id"
    printf '#!/bin/sh\nexit 1\n' > "$work/bin/dpkg-query"
    printf '#!/bin/sh\necho "apt-get $*" >> "$TRACE"\n' > "$work/bin/apt-get"
    chmod +x "$work/bin/"*
    out="$(PATH="$work/bin" "$BASH" -c 'source "$1" && tallorix_install_deps' _ \
        "$source_dir/scripts/deps.sh" 2>&1)"
    rc=$?
    [ "$rc" -eq 1 ] || fail "exit status $rc, not 1"
    one_line "$out" || fail "not one line: $out"
    grep -q "sudo" <<<"$out" || fail "no word of sudo: $out"
    [ ! -e "$TRACE" ] || fail "apt-get ran"
    ;;
*)
    fail "no case $case_name"
    ;;
esac
echo "passed: $case_name"
