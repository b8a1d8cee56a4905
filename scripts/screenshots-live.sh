#!/bin/sh
# Pictures of the live views once their values are in: the alarm list, the vend counters with their chart,
# the temperature chart after twenty seconds of samples, the link monitor and the parameter browser, each on
# the simulated board; the vend counters and the temperature samples are also exported to CSV files.
# Usage: scripts/screenshots-live.sh OUTDIR [BUILDDIR]
set -eu

if [ $# -lt 1 ]; then
    echo "usage: $0 OUTDIR [BUILDDIR]" >&2
    exit 2
fi
root=$(cd "$(dirname "$0")/.." && pwd)
build=${2:-$root/build}
[ -x "$build/bin/vmconfig" ] || { cmake -S "$root" -B "$build" -G Ninja && cmake --build "$build" --target vmconfig --parallel 2; }
mkdir -p "$1"
out=$(cd "$1" && pwd)

script="$out/live-views.vms"
cat > "$script" <<SCRIPT
timeout 120
connect
open FrmAllarmi
wait 2000
screenshot FrmAllarmi $out/live-FrmAllarmi.png
open FrmBattute
wait 2000
screenshot FrmBattute $out/live-FrmBattute.png
file $out/FrmBattute.csv
click FrmBattute cmdExport
open FrmTotali
wait 2000
screenshot FrmTotali $out/live-FrmTotali.png
open FrmGrafico
wait 20000
screenshot FrmGrafico $out/live-FrmGrafico.png
file $out/temperature.csv
click FrmGrafico Command2
open FrmDevelopment
wait 1000
screenshot FrmDevelopment $out/live-FrmDevelopment.png
open FrmBrowse
wait 1000
screenshot FrmBrowse $out/live-FrmBrowse.png
quit
SCRIPT
QT_QPA_PLATFORM=offscreen "$build/bin/vmconfig" --simulate --script "$script"
ls "$out"
