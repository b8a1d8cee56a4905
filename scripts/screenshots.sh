#!/bin/sh
# Pictures of the main window and of every editor window, offline and connected to the simulated board.
# Usage: scripts/screenshots.sh OUTDIR [BUILDDIR]
# Builds vmconfig in BUILDDIR (default: build) when it is missing, then runs it headless.
set -eu

if [ $# -lt 1 ]; then
    echo "usage: $0 OUTDIR [BUILDDIR]" >&2
    exit 2
fi
root=$(cd "$(dirname "$0")/.." && pwd)
out=$1
build=${2:-$root/build}

if [ ! -x "$build/bin/vmconfig" ]; then
    [ -f "$build/CMakeCache.txt" ] || cmake -S "$root" -B "$build" -G Ninja
    cmake --build "$build" --target vmconfig --parallel 2
fi

mkdir -p "$out"
out=$(cd "$out" && pwd)
QT_QPA_PLATFORM=offscreen "$build/bin/vmconfig" --screenshots "$out"
ls "$out"
