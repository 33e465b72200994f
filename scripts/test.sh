#!/usr/bin/env bash
# Builds the program and its tests and runs the whole suite. GUI tests use the offscreen
# platform, so no display is needed.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/ensure-packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" qt6-qpa-plugins \
    desktop-file-utils appstream dpkg-dev binutils-mingw-w64-x86-64

export QT_QPA_PLATFORM=offscreen
cmake --preset debug
cmake --build --preset debug --parallel "$(nproc)"
ctest --preset debug
