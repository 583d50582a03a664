#!/usr/bin/env bash
# scripts/run.sh DIR: starts the game from DIR. With no display, runs it for a few seconds under
# Xvfb and saves a screenshot instead.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
cd "$dir"
if [ -n "${DISPLAY:-}" ]; then
  exec ./quorvantille
fi
echo "no display: running headless under Xvfb" >&2
export QV_NO_DIALOGS=1 QV_SCREENSHOT="$PWD/screenshot.png" QV_QUIT_AFTER_MS=${QV_QUIT_AFTER_MS:-3000}
../scripts/with-xvfb.sh ./quorvantille
echo "screenshot saved to $QV_SCREENSHOT"
