#!/usr/bin/env bash
# Builds the tool and starts it. With no arguments it works on the simulated board;
# pass --port DEVICE (or other options of the tool) to use a real serial line.
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh

build=build
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVM_BUILD_TESTS=OFF
cmake --build "$build" --parallel "$(nproc)"

if [ -x "$build/bin/vmconfig" ]; then
    if [ $# -eq 0 ]; then set -- --simulate; fi
    exec "$build/bin/vmconfig" "$@"
fi
# Until the main window is built, the command-line companion is what there is to run.
exec "$build/bin/vmconfig-cli" "${@:---help}"
