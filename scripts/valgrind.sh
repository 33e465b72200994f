#!/usr/bin/env bash
# One whole test under valgrind's memcheck: the program starts, a name is typed, all 25
# questions are answered, the results are checked and "Lopeta" ends the program
# (tests/stress/onetest.cpp, in a debug build of its own, build/valgrind).
#
# Fails when the test itself fails, or when memcheck finds memory definitely lost, or a memory
# error, with a frame of the program's own code (src/, or the code generated from it) on its
# stack. What is lost inside Qt and the system libraries alone is in the log but does not count.
#
#   scripts/valgrind.sh [SEED]     the log goes to build/valgrind/memcheck.log
set -euo pipefail
cd "$(dirname "$0")/.."
if [ $# -gt 1 ] || { [ $# -eq 1 ] && ! [[ $1 =~ ^[0-9]+$ ]]; }; then
    echo "usage: $0 [SEED]" >&2
    exit 2
fi

. scripts/ensure-packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" qt6-qpa-plugins valgrind

export QT_QPA_PLATFORM=offscreen
cmake --preset valgrind >/dev/null
cmake --build --preset valgrind --target stress_onetest --parallel "$(nproc)"

log=build/valgrind/memcheck.log
status=0
valgrind --tool=memcheck --leak-check=full --show-leak-kinds=definite \
    --errors-for-leak-kinds=definite --num-callers=40 --fullpath-after= \
    --log-file="$log" build/valgrind/tests/stress_onetest "$@" || status=$?
if [ $status -ne 0 ]; then
    echo "valgrind.sh: the whole test failed under valgrind (exit status $status); see $log" >&2
    exit 1
fi

# memcheck writes one block per finding, each line prefixed with ==PID==, blocks separated by
# an empty line. Keep the leaks and errors that pass through the program's sources.
own=$(awk -v src="$PWD/src/" -v generated="$PWD/build/valgrind/src/" '
    { sub(/^==[0-9]+== ?/, "") }
    /^$/ { if (keep && mine) { print block; print "" } block = ""; keep = mine = 0; next }
    block == "" {
        keep = /definitely lost/ || /^Invalid / || /uninitialised/ || /^Mismatched / ||
               /^Source and destination overlap/ || /^Syscall param/
    }
    { block = block (block == "" ? "" : "\n") $0; if (index($0, src) || index($0, generated)) mine = 1 }
    END { if (keep && mine) print block }
' "$log")

echo "memcheck: $(grep -m1 -E 'definitely lost:' "$log" | sed 's/^==[0-9]*== *//')"
echo "memcheck: $(grep -m1 -E 'ERROR SUMMARY' "$log" | sed 's/^==[0-9]*== *//')"
if [ -n "$own" ]; then
    echo "valgrind.sh: memcheck findings in the program's own code ($log):" >&2
    echo "$own" >&2
    exit 1
fi
echo "valgrind.sh: nothing definitely lost and no memory error in the program's own code"
