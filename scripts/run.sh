#!/usr/bin/env bash
# Sets up, builds and runs Valdrin. With a display it opens the viewer in the
# source folder with the sample city loaded and the time window over its
# first month, January 2024, so that the first look shows columns.
# Without one it shows what the program makes of the sample city all the
# same: it renders a tilted view of the sample's year 2025 headless (no X
# server needed), says where the picture is and prints the statistics report
# of the busiest cell.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$root/build" -DCMAKE_BUILD_TYPE=Release >/dev/null

# The program finds its maps, overlays and cell table under data/ of its
# working directory.
cd "$root"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec "$root/build/app/valdrin" "$root/examples/sample-city.vdr" --to Night,January,31,2024
fi

. "$root/scripts/picture.sh"
cli="$root/build/cli/valdrin-cli"
sample="$root/examples/sample-city.vdr"
year=(--from Day,January,1,2025 --to Night,December,31,2025)
out="$root/build/sample"
mkdir -p "$out"
echo "No display: rendering the viewer's scene headless instead."
picture="$(render_picture "$cli" "$out/sample-city" "$sample" "${year[@]}" \
  --tilt 62 --heading 25 --distance 95 --overlays 0x10)"
echo "The sample city's incidents of 2025, one column band per event, seen tilted: $picture"
cell="$(hot_cell "$cli" "$sample" "${year[@]}")"
echo "Statistics report for the busiest cell of 2025 (row,column $cell):"
"$cli" report "$sample" --cell "$cell" "${year[@]}" | tr -d '\r'
