#!/usr/bin/env bash
# Renders the README's screenshots of every window into docs/screenshots/ (no display needed).
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/ensure-packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" qt6-qpa-plugins

cmake --preset debug >/dev/null
cmake --build --preset debug --target ahnemetri-screenshots --parallel "$(nproc)"
QT_QPA_PLATFORM=offscreen build/debug/tools/screenshots/ahnemetri-screenshots docs/screenshots
