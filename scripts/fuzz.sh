#!/usr/bin/env bash
# scripts/fuzz.sh DIR [SECONDS]: builds the libFuzzer targets with clang and runs each for a
# bounded time on its seed corpus (fuzz/corpus/<target>, made by fuzz/seeds when present).
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build-fuzz}
seconds=${2:-${FUZZ_SECONDS:-60}}
CC=clang CXX=clang++ scripts/build.sh "$dir" -DQV_FUZZ=ON -DQV_TESTS=OFF -DQV_BENCH=OFF
export QV_NO_DIALOGS=1
for f in "$dir"/fuzz/fuzz_*; do
  [ -x "$f" ] || continue
  name=$(basename "$f")
  corpus="$dir/fuzz-corpus/$name"
  mkdir -p "$corpus"
  seeds="fuzz/seeds/${name#fuzz_}"
  if [ -x "$dir/qv-tool" ] || true; then :; fi
  echo "== $name (${seconds}s)"
  args=("$corpus")
  [ -d "$seeds" ] && args+=("$seeds")
  "$f" -max_total_time="$seconds" -print_final_stats=1 "${args[@]}" 2>&1 | tail -n 15
done
