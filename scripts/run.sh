#!/usr/bin/env bash
# Sets up, builds and runs Valdrin. Until the viewer window exists this runs
# valdrin-cli on the bundled sample listing: import it, count it, print a
# statistics report for its busiest cell and export it back to CSV.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$root/build" -DCMAKE_BUILD_TYPE=Release >/dev/null

cli="$root/build/cli/valdrin-cli"
out="$root/build/sample"
mkdir -p "$out"
"$cli" import-csv "$root/examples/sample.csv" "$out/sample.vdr"
echo "Imported examples/sample.csv into $out/sample.vdr"
echo "Counts over the whole time range:"
"$cli" count "$out/sample.vdr"
echo "Evening incidents of the Central division:"
"$cli" count "$out/sample.vdr" --where SHIFT=Evening --where DIVISION=Central
"$cli" export-csv "$out/sample.vdr" "$out/sample-export.csv"
echo "Exported the store as $out/sample-export.csv"
