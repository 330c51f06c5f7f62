#!/usr/bin/env bash
# Remakes the pictures and the report text in docs/ that the README shows,
# with the project's own valdrin-cli on the sample city: the year 2025 seen
# tilted, the busiest cell up close with its statistics report, and the
# summer of 2025 on the council map, when a hot spot flares up in district A,
# the hot spots of 2025 and the summer's change from the months before, and
# the two years played month by month as an animated GIF.
# Usage: bash scripts/make-docs.sh [BUILD_DIR]   (default: build)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
"$root/scripts/setup.sh"
[ -f "$build/build.ninja" ] || cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target valdrin-cli >/dev/null

cd "$root"
. "$root/scripts/picture.sh"
cli="$build/cli/valdrin-cli"
sample=examples/sample-city.vdr
year=(--from Day,January,1,2025 --to Night,December,31,2025)
docs="$root/docs"
mkdir -p "$docs"

picture() {
  local name="$1"
  shift
  render_picture "$cli" "$docs/$name" "$sample" --size 800x600 "$@"
}

picture sample-city "${year[@]}" --tilt 62 --heading 25 --distance 95 --overlays 0x10

cell="$(hot_cell "$cli" "$sample" "${year[@]}")"
picture hot-spot "${year[@]}" --look-at "${cell#*,}.5,${cell%,*}.5" --tilt 55 --heading 25 \
  --distance 55 --overlays 0x34
{
  echo "valdrin-cli report examples/sample-city.vdr --cell $cell ${year[*]}"
  "$cli" report "$sample" --cell "$cell" "${year[@]}" | tr -d '\r'
} >"$docs/hot-spot-report.txt"
echo "$docs/hot-spot-report.txt"

picture summer-2025 --from Day,June,1,2025 --to Night,September,30,2025 --map 1 --tilt 60 \
  --heading 25 --distance 85 --overlays 0x30

# Hot spots of 2025 (Gi*, 95% and 99% with the false discovery rate), and the summer of 2025
# against the four months before it.
picture hot-spots-2025 "${year[@]}" --colour-by hotspots --tilt 50 --heading 25 --distance 95 \
  --overlays 0x10
picture change-summer-2025 --from Day,June,1,2025 --to Night,September,30,2025 \
  --colour-by change --tilt 50 --heading 25 --distance 95 --overlays 0x10

"$cli" animate "$docs/two-years.gif" "$sample" --step month --frames 24 --delay 600 \
  --from Day,January,1,2024 --to Night,January,31,2024 --size 480x360 --tilt 60 --heading 25 \
  --distance 95 --overlays 0x10
echo "$docs/two-years.gif"
