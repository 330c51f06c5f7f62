#!/usr/bin/env bash
# Makes resources/about.bmp, the About box's picture, with the project's own
# tools: 6000 synthetic events over the shipped city, rendered headless on the
# city council map with the highways, then reduced to 322 x 115 pixels and 16
# colours. Run from anywhere after a build: scripts/about_picture.sh [BUILD_DIR]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
cmake --build "$build" --target valdrin-cli valdrin-about >/dev/null
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$root"
"$build/cli/valdrin-cli" generate "$work/city.vdr" --count 6000
"$build/cli/valdrin-cli" render "$work/view.bmp" "$work/city.vdr" --size 966x345 \
  --tilt 62 --heading -30 --distance 34 --look-at 40,31 --map 1 --overlays 0x0030
"$build/tools/valdrin-about" "$work/view.bmp" "$root/resources/about.bmp"
echo "wrote resources/about.bmp"
