#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (windows on the
# offscreen platform, controllers simulated on 127.0.0.1).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
tools/build.sh
cd build
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)" "$@"
