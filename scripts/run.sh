#!/usr/bin/env bash
# Sets up, builds and runs Valdrin. Until the viewer window exists this runs
# valdrin-cli over the shipped city: generate a data set, count it, report on
# a downtown cell, write the composed map, and import the sample listing.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$root/build" -DCMAKE_BUILD_TYPE=Release >/dev/null

cli="$root/build/cli/valdrin-cli"
out="$root/build/sample"
mkdir -p "$out"
cd "$root"
"$cli" generate "$out/generated.vdr"
echo "Generated 1200 synthetic events into $out/generated.vdr"
echo "Counts over the whole time range:"
"$cli" count "$out/generated.vdr"
echo "Statistics report for the downtown cell row 32, column 42:"
"$cli" report "$out/generated.vdr" --cell 32,42 | tr -d '\r'
"$cli" map "$out/map.bmp" --overlays 0x3FF
echo "Wrote the city map with every overlay to $out/map.bmp"
"$cli" import-csv examples/sample.csv "$out/sample.vdr"
echo "Imported examples/sample.csv; Evening incidents of the Central division:"
"$cli" count "$out/sample.vdr" --where SHIFT=Evening --where DIVISION=Central
