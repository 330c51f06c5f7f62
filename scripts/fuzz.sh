#!/usr/bin/env bash
# Builds the fuzzing harnesses (fuzz/, clang with libFuzzer, AddressSanitizer
# and UndefinedBehaviorSanitizer) in build-fuzz/ and runs each for SECONDS
# (default 60) from its committed corpus. Inputs that find new paths go to
# build-fuzz/corpus/<harness>/, never into the committed seeds. Exits
# non-zero on any finding and names the reproducer file.
#   scripts/fuzz.sh [SECONDS] [HARNESS...]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-60}"
shift || true

need=()
command -v clang++ >/dev/null || need+=(clang)
ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1 ||
  need+=(libclang-rt-dev)
if [ ${#need[@]} -ne 0 ]; then
  echo "fuzz: installing ${need[*]}"
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get install -y -qq --no-install-recommends "${need[@]}" ||
    { $sudo apt-get update -qq && $sudo apt-get install -y -qq --no-install-recommends "${need[@]}"; }
fi

out="$root/build-fuzz"
if [ -z "${FUZZ_NO_BUILD:-}" ]; then  # set it to run what was built before
  cmake -S "$root/fuzz" -B "$out" -G Ninja -DCMAKE_CXX_COMPILER=clang++ >/dev/null
  cmake --build "$out"
fi

harnesses=("$@")
if [ ${#harnesses[@]} -eq 0 ]; then
  for source in "$root"/fuzz/fuzz_*.cpp; do
    name="$(basename "$source" .cpp)"
    [ "$name" = fuzz_support ] || harnesses+=("$name")
  done
fi

status=0
for name in "${harnesses[@]}"; do
  work="$out/corpus/$name"
  findings="$out/findings/$name"
  mkdir -p "$work" "$findings"
  seeds="$root/fuzz/corpus/${name#fuzz_}"
  echo "== $name: ${seconds}s"
  log="$out/$name.log"
  if ! UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ASAN_OPTIONS=detect_leaks=1 \
    "$out/$name" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=20 -print_final_stats=1 \
      -artifact_prefix="$findings/" "$work" "$seeds" >"$log" 2>&1; then
    status=1
    echo "fuzz: $name FOUND A FAULT; log: $log"
    grep -h 'Test unit written to' "$log" | sed 's/^/fuzz:   /' || true
  fi
  grep -h '^stat::number_of_executed_units\|^stat::new_units_added' "$log" | sed 's/^/   /' || true
done
exit $status
