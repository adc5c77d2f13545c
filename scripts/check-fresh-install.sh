#!/usr/bin/env bash
# Simulates what scripts/deps.sh installs on a fresh Debian 12 machine and
# checks that it brings everything the build, the tests, the benchmarks, the
# fuzzer and the run command use. Installs nothing: apt-get only simulates,
# against a package status that holds just Debian's required and essential
# packages (and what they depend on), taken from this machine's own status.
# Needs the package lists (apt-get update).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# Every installed package that a required or essential one needs.
awk 'BEGIN { RS = ""; ORS = "\n" }
     /\nStatus: install ok installed/ && (/\nPriority: required/ || /\nEssential: yes/) {
         sub(/^Package: /, ""); sub(/\n.*/, ""); print }' /var/lib/dpkg/status > "$work/base"
apt-cache depends --recurse --no-recommends --no-suggests --no-conflicts --no-breaks \
    --no-replaces --no-enhances $(cat "$work/base") 2>/dev/null |
    grep -v '^[ <]' | sed 's/:.*//' | sort -u > "$work/closure"
dpkg-query -W -f='${Package}\n' | sort -u | comm -12 - "$work/closure" > "$work/keep"
awk -v keep="$(tr '\n' ' ' < "$work/keep")" '
     BEGIN { RS = ""; ORS = "\n\n"; n = split(keep, names, " "); for (i = 1; i <= n; i++) kept[names[i]] = 1 }
     /\nStatus: install ok installed/ {
         name = $0; sub(/^Package: /, "", name); sub(/\n.*/, "", name); if (name in kept) print }' \
    /var/lib/dpkg/status > "$work/status"

apt-get -s -o Dir::State::status="$work/status" install --no-install-recommends \
    "${TALLORIX_PACKAGES[@]}" "${TALLORIX_RUN_PACKAGES[@]}" > "$work/simulation"
{ awk '/^Inst / { print $2 }' "$work/simulation"; cat "$work/keep"; } | sort -u > "$work/after"

# What is used, by the package that brings it: compilers, build tools and
# libraries; the sanitizer and fuzzer runtimes; Qt's offscreen, xcb and
# Wayland platforms and its resource compiler; a font for drawing the pictures
# and measuring labels; python3 with plistlib for the comparison tests; setfacl
# for the tests of files with access lists.
needed=(g++ make cmake clang libclang-rt-14-dev libasan8 libubsan1
        qt6-base-dev qt6-base-dev-tools libqt6gui6 libqt6widgets6 libqt6test6 fonts-dejavu-core
        qt6-qpa-plugins qt6-wayland
        libgtest-dev libbenchmark-dev libexpat1-dev python3 libpython3.11-stdlib libxml2-utils acl)
missing=()
for p in "${needed[@]}"; do
    grep -qx "$p" "$work/after" || missing+=("$p")
done
echo "base system: $(wc -l < "$work/keep") packages; deps.sh adds $(grep -c '^Inst ' "$work/simulation")"
if [ ${#missing[@]} -ne 0 ]; then
    echo "a fresh install lacks: ${missing[*]}" >&2
    exit 1
fi
echo "a fresh install has everything used"
