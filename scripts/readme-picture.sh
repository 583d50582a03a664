#!/usr/bin/env bash
# scripts/readme-picture.sh [BUILD_DIR]: makes docs/showcase.png, the README's picture, afresh from
# the game's own screenshot: the built game runs unattended on its start level under a fresh Xvfb
# server for QV_QUIT_AFTER_MS (default 2500) and saves its last frame. Build the game first
# (make build).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
dir=${1:-build}
[ -x "$dir/quorvantille" ] || { echo "readme-picture.sh: $dir/quorvantille is not built (make build)" >&2; exit 1; }
out="$root/docs/showcase.png"
mkdir -p "$root/docs"
rm -f "$out"
cd "$dir"
QV_FORCE_XVFB=1 QV_NO_DIALOGS=1 QV_SCREENSHOT="$out" QV_QUIT_AFTER_MS=${QV_QUIT_AFTER_MS:-2500} \
  "$root/scripts/with-xvfb.sh" ./quorvantille
[ -s "$out" ] || { echo "readme-picture.sh: the game saved no screenshot; see $PWD/log.txt" >&2; exit 1; }
echo "wrote $out"
