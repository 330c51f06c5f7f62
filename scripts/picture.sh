# Shell helpers for the scripts that show the sample city: sourced, not run.
#
# render_picture CLI BASE ARGS...: renders one frame with `CLI render` as
# BASE.png and prints the picture's path.
render_picture() {
  local cli="$1" base="$2"
  shift 2
  "$cli" render "$base.png" "$@" || return 1
  echo "$base.png"
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
