#!/usr/bin/env bash
# start_test.sh VALDRIN: the start before any window; without OpenGL it says so and exits 1.
set -u
valdrin=$1 scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export XDG_CONFIG_HOME=$scratch/config
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
failed=0

# expect NAME CODE TEXT COMMAND...: the command exits with CODE and its output holds TEXT.
expect() {
  local name=$1 code=$2 text=$3 said status
  shift 3
  said=$("$@" 2>&1) status=$?
  if [ "$status" -ne "$code" ] || [[ "$said" != *"$text"* ]]; then
    echo "FAILED $name: exit $status, said: $said"
    failed=1
  fi
}

offscreen=(env QT_QPA_PLATFORM=offscreen "$valdrin")
expect version 0 "valdrin 1.0" "$valdrin" --version
expect help 0 "usage: valdrin [FILE.vdr] [--data DIR]" "$valdrin" --help
expect usage 2 'valdrin: bad time key "x" for --to' "$valdrin" --to x
expect no-opengl 1 'valdrin: OpenGL is not available: no OpenGL context could be made on the Qt platform "offscreen" (asked for OpenGL 2.0, compatibility profile, 24-bit depth buffer' \
  "${offscreen[@]}" examples/sample-city.vdr

settings=$XDG_CONFIG_HOME/valdrin/valdrin.conf
mkdir -p "${settings%/*}"
printf '[timeline]\nstep_unit=3\n' >"$settings"
expect kept 1 "OpenGL is not available" "${offscreen[@]}"
[ -f "$settings" ] || { echo "FAILED kept: a start without --reset-settings removed the settings"; failed=1; }
expect reset 1 "OpenGL is not available" "${offscreen[@]}" --reset-settings
[ ! -e "$settings" ] || { echo "FAILED reset: $settings is still there"; failed=1; }
exit $failed
