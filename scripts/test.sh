#!/usr/bin/env bash
# scripts/test.sh DIR [cmake options...]: builds into DIR and runs the whole suite under CTest,
# the GL tests inside one Xvfb server. No dialog box ever waits for an answer (QV_NO_DIALOGS).
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}; shift || true
scripts/build.sh "$dir" "$@"
export QV_NO_DIALOGS=1
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
cd "$dir"
../scripts/with-xvfb.sh ctest --output-on-failure -j "$(nproc)" --timeout 600
