#!/usr/bin/env bash
# The Debian packages that building, testing, benchmarking and fuzzing need,
# and their installation when missing. Installs skip recommended packages, so
# everything used is named here: clang's fuzzer and sanitizer runtimes
# (libclang-rt-14-dev) are only recommended by clang, and python3 is what the
# tests compare the property-list files with; acl's setfacl gives the tests
# files and folders with access lists.
TALLORIX_PACKAGES=(qt6-base-dev cmake g++ make libgtest-dev libbenchmark-dev libexpat1-dev
                   clang libclang-rt-14-dev python3 libxml2-utils acl)
# What the run command adds: Qt's Wayland platform (the X one comes with Qt),
# for a session that has only a Wayland display.
TALLORIX_RUN_PACKAGES=(qt6-wayland)

# Installs the packages above that are missing, and those given.
tallorix_install_deps() {
    local missing=()
    for p in "${TALLORIX_PACKAGES[@]}" "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        if ! command -v sudo >/dev/null 2>&1; then
            echo "Installing ${missing[*]} needs root and sudo is not installed: run this as root, or install sudo first." >&2
            return 1
        fi
        sudo=(sudo)
    fi
    "${sudo[@]}" apt-get update
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
}
