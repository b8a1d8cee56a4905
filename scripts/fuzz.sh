#!/usr/bin/env bash
# Builds the libFuzzer harnesses (clang, AddressSanitizer, UBSan) in build-fuzz and runs each one for
# SECONDS (default 180) with one job, starting from its seeds in fuzz/corpus/<name>.
#   scripts/fuzz.sh [SECONDS] [NAME...]     e.g. scripts/fuzz.sh 600 link_receive
#   scripts/fuzz.sh --smoke                 every seed replayed, then a few seconds each (test.sh)
# New inputs collect in build-fuzz/corpus/<name> (a smoke run keeps none); a crashing input lands in
# build-fuzz/findings/ and the script fails. Copy a fixed finding into fuzz/corpus/<name>/ so that every
# later run replays it.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=180
smoke=false
if [[ ${1:-} == --smoke ]]; then
    smoke=true
    seconds=6
    shift
elif [[ $# -gt 0 && $1 =~ ^[0-9]+$ ]]; then
    seconds=$1
    shift
fi
all=(config_file telemetry_file settings language ident_map param_map cli_args link_receive)
names=("${@:-${all[@]}}")

build=build-fuzz
if [[ ! -f $build/CMakeCache.txt ]]; then
    launcher=()
    command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    cmake -S . -B "$build" -G Ninja -DVM_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug \
        -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" "${launcher[@]}" >/dev/null
fi
cmake --build "$build" --target fuzzers --parallel 2

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
mkdir -p "$build/findings"
failed=()
for name in "${names[@]}"; do
    seeds=fuzz/corpus/$name
    work=$build/corpus/$name
    $smoke && work=$build/smoke/$name && rm -rf "$work"
    mkdir -p "$work" "$seeds"
    options=(-max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -print_final_stats=1
             -artifact_prefix="$build/findings/$name-")
    # The link harness plays a whole session per input: give it room for long ones.
    [[ $name == link_receive ]] && options+=(-max_len=4096 -len_control=0)
    echo "== $name: ${seconds}s"
    if ! "$build/fuzz/fuzz_$name" "${options[@]}" "$work" "$seeds" >"$build/findings/$name.log" 2>&1; then
        failed+=("$name")
        grep -E "ERROR|fuzz check failed|runtime error|Test unit written" "$build/findings/$name.log" | head -5
    fi
    grep -E "^stat::number_of_executed_units|^Done" "$build/findings/$name.log" | tail -1 || true
done
$smoke && rm -rf "$build/smoke"

if ((${#failed[@]})); then
    echo "Fuzzing found faults in: ${failed[*]} (logs and inputs in $build/findings/)"
    exit 1
fi
echo "Fuzzing: no faults in ${names[*]}"
