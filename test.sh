#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test through CTest.
# Extra arguments go to ctest (for example: ./test.sh -R core_tests). A full run (no arguments) then
# replays every fuzzing seed and fuzzes each harness for a few seconds (scripts/fuzz.sh --smoke).
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh

build=build-tests
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVM_SANITIZE=ON
cmake --build "$build" --parallel "$(nproc)"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1
export UBSAN_OPTIONS=print_stacktrace=1
# Both cores: the suite is mostly programs waiting on simulated boards and timers.
ctest --test-dir "$build" --output-on-failure --timeout 600 --parallel "$(nproc)" "$@"
if (($# == 0)); then
    scripts/fuzz.sh --smoke
fi
