#!/usr/bin/env bash
# install_test.sh BUILD_DIR: an install into a scratch prefix works alone, run from elsewhere.
set -euo pipefail
build=$1 scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
prefix=$scratch/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
mkdir "$scratch/elsewhere" && cd "$scratch/elsewhere"
export XDG_CONFIG_HOME=$scratch/config PATH="$prefix/bin:/usr/bin:/bin"
fail() { echo "FAILED: $*"; exit 1; }

for file in bin/valdrin bin/valdrin-cli share/valdrin/data/selections/default.sel \
  share/valdrin/data/maps/basemap.bmp share/valdrin/examples/sample-city.vdr \
  share/applications/valdrin.desktop share/mime/packages/valdrin.xml \
  share/icons/hicolor/scalable/apps/valdrin.svg share/icons/hicolor/16x16/apps/valdrin.png \
  share/icons/hicolor/256x256/apps/valdrin.png share/man/man1/valdrin.1 \
  share/man/man1/valdrin-cli.1 share/bash-completion/completions/valdrin-cli; do
  [ -s "$prefix/$file" ] || fail "$file is not installed"
done
desktop-file-validate "$prefix/share/applications/valdrin.desktop" || fail "desktop entry"
grep -qx 'MimeType=application/x-valdrin-events;' "$prefix/share/applications/valdrin.desktop" ||
  fail "the entry opens no .vdr files"
update-mime-database "$prefix/share/mime" || fail "update-mime-database"
grep -qx 'application/x-valdrin-events:\*.vdr' "$prefix/share/mime/globs" || fail "no *.vdr glob"

sample=$prefix/share/valdrin/examples/sample-city.vdr
valdrin-cli render city.png "$sample" --size 64x48 --tilt 40 || fail "valdrin-cli render"
[ "$(head -c 4 city.png | tail -c 3)" = PNG ] || fail "render wrote no PNG"
[ "$(valdrin --version)" = "valdrin 1.0" ] || fail "valdrin --version"
xvfb-run -a valdrin "$sample" --to Night,January,31,2024 --quit-after-start >started 2>said ||
  fail "the viewer's start: $(cat said)"
[ "$(cat started)" = "6000 events, Day,January,1,2024 to Night,January,31,2024" ] ||
  fail "the viewer held: $(cat started)"
grep -q '^Info: Load complete$' said && ! grep -qi 'error' said || fail "the viewer said: $(cat said)"
# A first start ends with the first-start choices saved.
grep -qx 'step_unit=1' "$XDG_CONFIG_HOME/valdrin/valdrin.conf" || fail "no settings saved"

complete_line() {  # the completion's answer for a command line whose last word is being typed
  bash -c '. "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _valdrin_cli
           echo "${COMPREPLY[*]}"' - "$prefix/share/bash-completion/completions/valdrin-cli" "$@"
}
[ "$(complete_line valdrin-cli re)" = "report render" ] || fail "completion of commands"
[ "$(complete_line valdrin-cli animate o.gif --fr)" = "--frame-format --frames --frames-dir --from" ] ||
  fail "completion of animate's options: $(complete_line valdrin-cli animate o.gif --fr)"
[ "$(complete_line valdrin-cli select --mode z)" = "zip" ] || fail "completion of --mode"
echo "installed and ran from $prefix"
