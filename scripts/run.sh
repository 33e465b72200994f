#!/usr/bin/env bash
# Builds the program in release mode and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/ensure-packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" "${RUNTIME_PACKAGES[@]}"

cmake --preset release >/dev/null
cmake --build --preset release --parallel "$(nproc)"
exec build/release/bin/ahnemetri "$@"
