# bash completion for valdrin-cli: its commands, the options each command
# takes and the values of the options that have a fixed few. Both lists
# are read from the program's own --help, so they never drift from it.
_valdrin_cli() {
  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
  local help
  help=$("${COMP_WORDS[0]}" --help 2>/dev/null) || return 0
  COMPREPLY=()
  if [ "$COMP_CWORD" -eq 1 ]; then
    local commands
    commands=$(sed -n 's/^  \([a-z][a-z-]*\) .*/\1/p' <<<"$help")
    mapfile -t COMPREPLY < <(compgen -W "$commands --help --version" -- "$cur")
    return 0
  fi
  case "$prev" in
    --mode) mapfile -t COMPREPLY < <(compgen -W "keymap council zip" -- "$cur"); return 0 ;;
    --step) mapfile -t COMPREPLY < <(compgen -W "shift day month year" -- "$cur"); return 0 ;;
    --frame-format) mapfile -t COMPREPLY < <(compgen -W "bmp png" -- "$cur"); return 0 ;;
    --map) mapfile -t COMPREPLY < <(compgen -W "0 1" -- "$cur"); return 0 ;;
    --data | --frames-dir)
      compopt -o filenames 2>/dev/null
      mapfile -t COMPREPLY < <(compgen -d -- "$cur")
      return 0
      ;;
    --mapping | --rejects)
      compopt -o filenames 2>/dev/null
      mapfile -t COMPREPLY < <(compgen -f -- "$cur")
      return 0
      ;;
    --*) return 0 ;;  # every option takes a value: a key, a cell, a number ...
  esac
  if [[ "$cur" == -* ]]; then
    # The usage lines of the command, and of each command whose options it
    # takes ("[render options]").
    local command=${COMP_WORDS[1]} usage
    usage=$(awk -v c="$command" '/^  [a-z]/ { on = ($1 == c) } on' <<<"$help")
    local other
    for other in $(grep -o '\[[a-z-]* options\]' <<<"$usage" | tr -d '[]' | cut -d' ' -f1); do
      usage+=$'\n'$(awk -v c="$other" '/^  [a-z]/ { on = ($1 == c) } on' <<<"$help")
    done
    mapfile -t COMPREPLY < <(compgen -W "$(grep -o -- '--[a-z-]*' <<<"$usage" | sort -u)" -- "$cur")
    return 0
  fi
  compopt -o filenames 2>/dev/null
  mapfile -t COMPREPLY < <(compgen -f -- "$cur")
}
complete -F _valdrin_cli valdrin-cli
