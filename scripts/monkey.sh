#!/usr/bin/env bash
# Runs the monkey (tests/stress/tst_monkey.cpp): random clicks, typing, keys, access keys,
# double clicks and close boxes over every window of the program, with the program's invariants
# checked after every event. Builds with AddressSanitizer and UndefinedBehaviorSanitizer in a
# directory of its own, build/stress.
#
#   scripts/monkey.sh [SEED]          a short run of 3000 events, as in the test suite
#   scripts/monkey.sh --long [SEED]   a long run of 100,000 events
#
# SEED repeats an earlier run; without it the script draws a new seed (the test suite always uses
# its fixed one); every run prints its seed. AHNEMETRI_MONKEY_EVENTS sets any other
# number of events.
set -euo pipefail
cd "$(dirname "$0")/.."

events=3000
if [ "${1:-}" = --long ]; then
    events=100000
    shift
fi
if [ $# -gt 1 ] || { [ $# -eq 1 ] && ! [[ $1 =~ ^[0-9]+$ ]]; }; then
    echo "usage: $0 [--long] [SEED]" >&2
    exit 2
fi
export AHNEMETRI_MONKEY_EVENTS=${AHNEMETRI_MONKEY_EVENTS:-$events}
export AHNEMETRI_MONKEY_SEED=${1:-${AHNEMETRI_MONKEY_SEED:-$(od -An -N4 -tu4 /dev/urandom | tr -d ' ')}}

. scripts/ensure-packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" qt6-qpa-plugins

export QT_QPA_PLATFORM=offscreen
cmake --preset stress >/dev/null
cmake --build --preset stress --target tst_monkey --parallel "$(nproc)"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
# Qt Test stops a test function after five minutes unless told otherwise; a long run takes more.
export QTEST_FUNCTION_TIMEOUT=$((AHNEMETRI_MONKEY_EVENTS * 50 + 300000))
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
started=$SECONDS
status=0
build/stress/tests/tst_monkey || status=$?
echo "monkey: run of up to $AHNEMETRI_MONKEY_EVENTS events, $((SECONDS - started)) s:" \
    "$([ $status -eq 0 ] && echo passed || echo "FAILED (exit status $status)")"
exit $status
