#!/usr/bin/env bash
# Remakes the pictures and the report text in docs/ that the README shows,
# with the project's own valdrin-cli on the sample city: the year 2025 seen
# tilted, the busiest cell up close with its statistics report, and the
# summer of 2025 on the council map, when a hot spot flares up in district A.
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

# Each picture is PNG. A valdrin-cli that writes only BMP leaves a .bmp,
# which ImageMagick turns into PNG (without time stamps, so that the same
# picture gives the same bytes).
picture() {
  local name="$1" made
  shift
  made="$(render_picture "$cli" "$docs/$name" "$sample" --size 800x600 "$@")"
  if [ "$made" != "$docs/$name.png" ]; then
    command -v convert >/dev/null || { echo "make-docs: $made is BMP and ImageMagick's convert is missing" >&2; exit 1; }
    convert "$made" -strip -define png:exclude-chunks=date,time "$docs/$name.png"
    rm -f "$made"
  fi
  echo "$docs/$name.png"
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
