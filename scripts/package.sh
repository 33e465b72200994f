#!/usr/bin/env bash
# Builds the program in release mode and makes the Debian package of it with CPack:
# build/release/ahnemetri_<version>_<architecture>.deb. dpkg-shlibdeps (dpkg-dev) works out the
# library dependencies.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/ensure-packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" "${RUNTIME_PACKAGES[@]}" dpkg-dev file

cmake --preset release >/dev/null
cmake --build --preset release --parallel "$(nproc)"
(cd build/release && cpack -G DEB)
