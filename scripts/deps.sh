#!/usr/bin/env bash
# Installs the Debian packages that building and testing need, when missing.
tallorix_install_deps() {
    local packages=(qt6-base-dev qt6-qpa-plugins cmake g++ make libgtest-dev libbenchmark-dev clang python3)
    local missing=()
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
}
