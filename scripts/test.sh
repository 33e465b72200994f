#!/usr/bin/env bash
# Builds the program and its tests and runs the whole suite. GUI tests use the offscreen
# platform, so no display is needed. When the suite passes, it is built and run once more with
# AddressSanitizer and UndefinedBehaviorSanitizer (preset asan, build/asan); any report of
# theirs, leaks included, fails the test in which it happens. The packaging checks are left out
# there: they test files, not the code. Last comes a bounded libFuzzer run over the evaluation
# rules, in a clang build of its own (build/fuzz). Independent tests run side by side, one per
# core (CTEST_PARALLEL_LEVEL overrides that); the longest ones start first.
# Both builds are unity builds (presets debug and asan: the sources of a target compiled as
# one file), which saves about a quarter of the compile time; the release build, which packagers
# and scripts/run.sh use, compiles each file on its own.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/ensure-packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" "${RUNTIME_PACKAGES[@]}" \
    desktop-file-utils appstream dpkg-dev file binutils-mingw-w64-x86-64 lintian clang-format

# The sources are laid out as the project's .clang-format says (Debian's clang-format: 14 on
# Debian 12, 19 on 13, which agree on this code); a change that is not fails here, first.
find src tests bench fuzz tools -name '*.cpp' -o -name '*.h' | sort |
    xargs clang-format --dry-run -Werror

export QT_QPA_PLATFORM=offscreen
cmake --preset debug
cmake --build --preset debug --parallel "$(nproc)"
ctest --preset debug --parallel "${CTEST_PARALLEL_LEVEL:-$(nproc)}"

cmake --preset asan
cmake --build --preset asan --parallel "$(nproc)"
ctest --preset asan --parallel "${CTEST_PARALLEL_LEVEL:-$(nproc)}"

bash scripts/fuzz.sh
