#!/usr/bin/env bash
# scripts/fuzz.sh DIR [SECONDS]: builds the libFuzzer targets with clang and runs each for a
# bounded time on its seeds: the files kept in fuzz/seeds/<target>, and those the target writes
# itself (QV_WRITE_SEEDS, made by our writers and from the demo data) into DIR/fuzz-seeds/<target>.
# New inputs it finds collect in DIR/fuzz-corpus/<target>, crashing ones in DIR/fuzz-artifacts/.
#   FUZZ_RUNS=N        each target runs to N executions instead, capped by SECONDS only when
#                      SECONDS (or FUZZ_SECONDS) is given
#   FUZZ_TARGETS="a b" only these targets (names without "fuzz_"), one after the other
#   FUZZ_FORK=N        each target runs in N worker processes at once (libFuzzer's fork mode:
#                      one run, one corpus, N cores; FUZZ_RUNS then counts all workers' inputs)
#   FUZZ_LOG=FILE      the whole output of every run is appended to FILE (only the last lines
#                      are shown); its progress lines are how a long run is watched
# Level inputs are cut at 1 KiB: every ghost section costs a model load, and longer files only
# repeat sections.
# The targets write their inputs to files in the temporary folder: on a disk every truncating
# write costs milliseconds, so /dev/shm is used when there is one.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build-fuzz}
seconds=${2:-${FUZZ_SECONDS:-}}
runs=${FUZZ_RUNS:-}
[ -z "$runs" ] && [ -z "$seconds" ] && seconds=60
CC=clang CXX=clang++ scripts/build.sh "$dir" -DQV_FUZZ=ON -DQV_TESTS=OFF -DQV_BENCH=OFF
export QV_NO_DIALOGS=1
[ -z "${TMPDIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ] && export TMPDIR=/dev/shm
artifacts="$PWD/$dir/fuzz-artifacts"
mkdir -p "$artifacts"
for f in "$dir"/fuzz/fuzz_*; do
  [ -x "$f" ] || continue
  name=$(basename "$f")
  if [ -n "${FUZZ_TARGETS:-}" ] && [[ " $FUZZ_TARGETS " != *" ${name#fuzz_} "* ]]; then continue; fi
  corpus="$dir/fuzz-corpus/$name"
  mkdir -p "$corpus"
  seeds="fuzz/seeds/${name#fuzz_}"
  written="$dir/fuzz-seeds/$name"
  rm -rf "$written"
  QV_WRITE_SEEDS="$written" "$f" -runs=0 >/dev/null 2>&1 || true
  limits=()
  [ -n "$runs" ] && limits+=("-runs=$runs")
  [ -n "$seconds" ] && limits+=("-max_total_time=$seconds")
  [ "$name" = fuzz_level ] && limits+=("-max_len=1024")
  [ -n "${FUZZ_FORK:-}" ] && limits+=("-fork=$FUZZ_FORK")
  echo "== $name (${limits[*]})"
  args=("$corpus")
  [ -d "$seeds" ] && args+=("$seeds")
  [ -d "$written" ] && [ -n "$(ls -A "$written")" ] && args+=("$written")
  if [ ${#args[@]} -eq 1 ]; then
    echo "$name: no seeds (neither $seeds nor $written)" >&2
    exit 1
  fi
  "$f" "${limits[@]}" -print_final_stats=1 -artifact_prefix="$artifacts/$name-" \
    "${args[@]}" 2>&1 | tee -a "${FUZZ_LOG:-/dev/null}" | grep -v -e '^"' -e 'recommended dictionary' | tail -n 15
done
