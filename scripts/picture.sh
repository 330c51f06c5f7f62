# Shell helpers for the scripts that show the sample city: sourced, not run.
#
# render_picture CLI BASE ARGS...: renders one frame with `CLI render` and
# prints the picture's path. It asks for BASE.png; a valdrin-cli that writes
# only BMP either refuses that name (then BASE.bmp is rendered instead) or
# writes BMP bytes under it (then the file is renamed BASE.bmp), so the path
# printed always names what the file holds.
render_picture() {
  local cli="$1" base="$2"
  shift 2
  if ! "$cli" render "$base.png" "$@" 2>/dev/null; then
    "$cli" render "$base.bmp" "$@" || return 1
    echo "$base.bmp"
    return 0
  fi
  if [ "$(head -c 4 "$base.png" | od -An -tx1 | tr -d ' \n')" = "89504e47" ]; then
    echo "$base.png"
  else
    mv -f "$base.png" "$base.bmp"
    echo "$base.bmp"
  fi
}

# hot_cell CLI IN.vdr [COUNT OPTIONS...]: prints "ROW,COL" of the cell with
# the most events (the first such cell in row order on a tie); fails when
# no cell has any.
hot_cell() {
  local cli="$1" counts
  shift
  counts="$("$cli" count "$@")" || return 1
  printf '%s\n' "$counts" | grep -o '\[[0-9]*,[0-9]*,[0-9]*\]' | tr -d '[]' |
    awk -F, '$3 > best { best = $3; cell = $1 "," $2 } END { if (cell == "") exit 1; print cell }'
}
