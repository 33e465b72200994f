#!/usr/bin/env bash
# Builds the benchmarks in release mode (-O2, the warning flags of every build) in build/bench
# and runs them: the program against bare Qt windows, side by side, on the offscreen platform.
# Prints a table of medians against the targets. Arguments go to the runner, for example
# --quick to try the setup out, or --check to fail when a target is missed.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/ensure-packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" "${RUNTIME_PACKAGES[@]}"

if ! grep -q 'add_subdirectory(bench)' CMakeLists.txt; then
    echo "bench.sh: CMakeLists.txt does not add the bench folder (AHNEMETRI_BUILD_BENCHMARKS)" >&2
    exit 2
fi

export QT_QPA_PLATFORM=offscreen
cmake -S . -B build/bench -G "Unix Makefiles" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
    -DAHNEMETRI_WERROR=ON \
    -DAHNEMETRI_BUILD_TESTS=OFF \
    -DAHNEMETRI_BUILD_BENCHMARKS=ON >/dev/null
cmake --build build/bench --parallel "$(nproc)" --target ahnemetri-bench-runner

echo
echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ //')," \
    "$(awk '/^MemTotal:/ {printf "%.1f", $2 / 1048576}' /proc/meminfo) GiB memory"
echo "System:  Debian $(cat /etc/debian_version), Qt $(dpkg-query -W -f='${Version}' qt6-base-dev)," \
    "$(g++ --version | head -n1)"
# Other work on the machine shows up as noise, in the start-up figures above all.
echo "Load:    $(cut -d' ' -f1-3 /proc/loadavg) (1, 5 and 15 min averages) before the run"
build/bench/bench/ahnemetri-bench-runner "$@"
echo "Load:    $(cut -d' ' -f1-3 /proc/loadavg) after the run"
