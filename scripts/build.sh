#!/usr/bin/env bash
# scripts/build.sh DIR [cmake options...]: configures (once) and builds the project into DIR.
# QV_WERROR=ON in the environment makes every warning an error (CI sets it); unset, the build
# directory keeps what it was configured with.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}; shift || true
werror=()
[ -n "${QV_WERROR:-}" ] && werror=("-DQV_WERROR=$QV_WERROR")
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${werror[@]}" "$@" >/dev/null
cmake --build "$dir" -j "$(nproc)"
