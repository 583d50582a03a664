#!/usr/bin/env bash
# scripts/test.sh DIR [cmake options...]: builds into DIR and runs the whole suite under CTest,
# all of it inside one Xvfb server (the GL tests need it; the rest does not mind). No dialog box
# ever waits for an answer (QV_NO_DIALOGS). Under AddressSanitizer, leaks inside the system's
# graphics and font libraries are suppressed by scripts/lsan.supp; ours are not. Mesa's software
# renderer also leaves a few small blocks whose allocating code is unloaded before the leak check
# (no module name to suppress by), so the GL tests (label gl) run with the leak check off; every
# other test keeps it, and AddressSanitizer and UBSan stay on everywhere.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
dir=${1:-build}; shift || true
scripts/build.sh "$dir" "$@"
export QV_NO_DIALOGS=1
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$root/scripts/lsan.supp:print_suppressions=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
cd "$dir"
QV_FORCE_XVFB=1 ../scripts/with-xvfb.sh sh -c '
  ctest --output-on-failure -j "$(nproc)" --timeout 600 -LE gl; unitResult=$?
  ASAN_OPTIONS="$ASAN_OPTIONS:detect_leaks=0" \
    ctest --output-on-failure -j "$(nproc)" --timeout 600 -L gl; glResult=$?
  [ "$unitResult" -eq 0 ] && [ "$glResult" -eq 0 ]'
