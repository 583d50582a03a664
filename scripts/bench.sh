#!/usr/bin/env bash
# scripts/bench.sh DIR: builds and runs every benchmark program (GL ones inside Xvfb).
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
scripts/build.sh "$dir" -DQV_BENCH=ON
export QV_NO_DIALOGS=1
for b in "$dir"/bench/bench_*; do
  [ -x "$b" ] || continue
  echo "== $(basename "$b")"
  scripts/with-xvfb.sh "$b"
done
