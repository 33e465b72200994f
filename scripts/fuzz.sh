#!/usr/bin/env bash
# Fuzzes the evaluation rules (fuzz/fuzz_evaluation.cpp) with libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer in a clang build of its own, build/fuzz.
#
#   scripts/fuzz.sh                 the short, repeatable run that ctest does (fixed seed)
#   scripts/fuzz.sh --long [ARGS]   fuzzes for FUZZ_SECONDS (default 600) seconds; the corpus
#                                   it grows stays in build/fuzz/long-corpus for the next run,
#                                   a failing input is saved in build/fuzz/artifacts/; ARGS go
#                                   to libFuzzer as they are (e.g. -jobs=4)
set -euo pipefail
cd "$(dirname "$0")/.."

mode=bounded
if [ "${1:-}" = --long ]; then
    mode=long
    shift
elif [ $# -gt 0 ]; then
    echo "usage: $0 [--long [libFuzzer options]]" >&2
    exit 2
fi

. scripts/ensure-packages.sh
# Debian's default clang (14 on Debian 12, 19 on Debian 13) with its libFuzzer and sanitizer
# runtimes.
ensure_packages "${BUILD_PACKAGES[@]}" clang libclang-rt-dev

# Everything, ahnemetri_logic included, gets coverage instrumentation and both sanitizers;
# undefined behaviour stops the run instead of only being printed.
sanitize="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined"
sanitize+=" -fno-omit-frame-pointer -O1"

build=build/fuzz
cmake -S . -B "$build" -G "Unix Makefiles" \
    -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_FLAGS="$sanitize" \
    -DAHNEMETRI_FUZZ=ON \
    -DAHNEMETRI_WERROR=ON \
    -DAHNEMETRI_BUILD_TESTS=OFF
cmake --build "$build" --target fuzz_evaluation --parallel "$(nproc)"

if [ "$mode" = bounded ]; then
    ctest --test-dir "$build/fuzz" -R '^fuzz_evaluation_bounded$' --output-on-failure \
        --no-tests=error
else
    mkdir -p "$build/long-corpus" "$build/artifacts"
    UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 "$build/fuzz/fuzz_evaluation" \
        -max_total_time="${FUZZ_SECONDS:-600}" -max_len=256 \
        -artifact_prefix="$build/artifacts/" "$@" "$build/long-corpus" fuzz/corpus
fi
