#!/usr/bin/env bash
# Installs, from Debian's packages, whatever the build, the tests and the demo
# need and this machine lacks (the bridge's MQTT and systemd libraries, the
# mosquitto broker for its tests; clang with its sanitizer and libFuzzer runtimes,
# and llvm's symbolizer, for tools/sanitize.sh and tools/fuzz.sh). Runs `apt-get update` only when something is missing.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-image-formats-plugins qt6-translations-l10n libgl-dev
    zlib1g-dev libgtest-dev googletest libbenchmark-dev
    xvfb xdotool imagemagick x11-utils fonts-dejavu-core openbox
    locales clang libclang-rt-dev llvm
    libmosquitto-dev libsystemd-dev mosquitto mosquitto-clients openssl systemd
    help2man dpkg-dev lintian devscripts desktop-file-utils appstream
    chromium
)
# quelnet-bridge: libmosquitto (MQTT client) and libsystemd (readiness and
# watchdog); its tests start Debian's mosquitto broker and make certificates
# with openssl; systemd-analyze checks its unit.
# help2man makes the manual pages; dpkg-dev (dpkg-shlibdeps) computes the
# packages' dependencies; lintian, devscripts (hardening-check),
# desktop-file-utils and appstream check the packages (tools/check-package.sh).
# chromium (headless, loopback only) shows a page the simulator serves.
# "locales" holds the definitions from which the tests compile the Polish
# locale pl_PL.UTF-8 (tests/support/PolishLocale.h) when it is not generated.

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    if [[ $(id -u) -ne 0 ]]; then
        echo "Missing packages need root: sudo $0" >&2
        exit 1
    fi
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq "${missing[@]}"
fi
