#!/usr/bin/env bash
# A real boundary: Harris County, Texas, from the U.S. Census Bureau's
# counties as npm's us-atlas ships them (TopoJSON, no coordinate system named
# in the file), made into a data folder and rendered as the viewer's scene.
# Usage: real_city_test.sh VALDRIN_ATLAS VALDRIN_CLI WORK_DIR
set -euo pipefail
atlas="$1" cli="$2"
mkdir -p "$3"
work="$(cd "$3" && pwd)"
fail() { echo "FAIL: $*" >&2; exit 1; }
counties="$work/npm/node_modules/us-atlas/counties-10m.json"
if [ ! -f "$counties" ]; then
  npm install --no-save --no-audit --no-fund --prefix "$work/npm" us-atlas@3.0.1 >/dev/null ||
    fail "npm install us-atlas"
fi
cat >"$work/harris.toml" <<TOML
[boundary]
file = "$counties"
layer = "counties"
where = "id = '48201'"
crs = "EPSG:4326"
TOML
rm -rf "$work/harris"
"$atlas" from-layers "$work/harris.toml" "$work/harris" || fail "from-layers on Harris County"
grep -q 'crs = "EPSG:32615"' "$work/harris/georeference.toml" || fail "not UTM zone 15 north"
"$cli" render "$work/harris.bmp" --data "$work/harris" --size 320x240 --tilt 30 ||
  fail "render --data"
# Not blank: the picture holds the map's many colours, not one.
colours="$(od -An -v -tu1 -j54 -w3 "$work/harris.bmp" | sort -u | wc -l)"
[ "$colours" -gt 20 ] || fail "the rendered picture has $colours colours"
# A missing attribute names the ones the layer has.
printf '[boundary]\nfile = "%s"\nlayer = "counties"\ncrs = "EPSG:4326"\n[zips]\nfile = "%s"\nlayer = "counties"\ncrs = "EPSG:4326"\nattribute = "ZCTA"\n' \
  "$counties" "$counties" >"$work/bad.toml"
if "$atlas" from-layers "$work/bad.toml" "$work/bad" 2>"$work/said"; then fail "a bad attribute passed"; fi
grep -q 'no attribute ZCTA; the layer has id, name' "$work/said" || fail "said: $(cat "$work/said")"
[ ! -e "$work/bad" ] || fail "a failed build left a folder"
echo "real city: $colours colours"
