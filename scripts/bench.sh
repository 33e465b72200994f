#!/usr/bin/env bash
# Builds the benchmarks in release mode (-O2, the warning flags of every build) in build/bench
# and runs them: the program against bare Qt windows, side by side, on the offscreen platform.
# Prints a table of medians against the targets. Arguments go to the runner, for example
# --quick to try the setup out, or --check to fail when a target is missed. With --x11 only the
# start-up is measured, on a real X server: Xvfb with the openbox window manager, started here
# on a free display and ended with the run.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/ensure-packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" "${RUNTIME_PACKAGES[@]}"
x11=false
for arg in "$@"; do
    [ "$arg" = --x11 ] && x11=true
done
if $x11; then
    ensure_packages xvfb openbox x11-utils
fi

if ! grep -q 'add_subdirectory(bench)' CMakeLists.txt; then
    echo "bench.sh: CMakeLists.txt does not add the bench folder (AHNEMETRI_BUILD_BENCHMARKS)" >&2
    exit 2
fi

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
if $x11; then
    # A screen of 1280 x 1024 at 24 bits and a window manager that maps and decorates the
    # windows as on a desktop; Xvfb takes the first free display and writes its number.
    displayfile=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$displayfile" 2>/dev/null &
    xvfb=$!
    openbox=
    trap 'kill $xvfb $openbox 2>/dev/null || true; rm -f "$displayfile"' EXIT
    for _ in $(seq 100); do
        [ -s "$displayfile" ] && break
        sleep 0.1
    done
    [ -s "$displayfile" ] || { echo "bench.sh: Xvfb did not start" >&2; exit 1; }
    export DISPLAY=":$(head -n1 "$displayfile")"
    openbox --sm-disable >/dev/null 2>&1 &
    openbox=$!
    for _ in $(seq 100); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
        sleep 0.1
    done
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' \
        || { echo "bench.sh: openbox did not start" >&2; exit 1; }
    echo "Display: Xvfb $DISPLAY, 1280x1024x24, window manager openbox $(openbox --version | head -n1 | cut -d' ' -f2)"
fi
# Other work on the machine shows up as noise, in the start-up figures above all.
echo "Load:    $(cut -d' ' -f1-3 /proc/loadavg) (1, 5 and 15 min averages) before the run"
build/bench/bench/ahnemetri-bench-runner "$@"
echo "Load:    $(cut -d' ' -f1-3 /proc/loadavg) after the run"
