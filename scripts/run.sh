#!/usr/bin/env bash
# scripts/run.sh DIR: starts the game from DIR. With no display, runs it unattended for a few
# seconds under Xvfb (QV_QUIT_AFTER_MS, default 3000), saves a screenshot of the last frame
# (QV_SCREENSHOT) and says where it is.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
cd "$dir"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec ./quorvantille
fi
echo "no display: running the game headless under Xvfb" >&2
export QV_NO_DIALOGS=1 QV_SCREENSHOT="$PWD/screenshot.png" QV_QUIT_AFTER_MS=${QV_QUIT_AFTER_MS:-3000}
rm -f "$QV_SCREENSHOT"
../scripts/with-xvfb.sh ./quorvantille
if [ -f "$QV_SCREENSHOT" ]; then
  echo "screenshot saved to $QV_SCREENSHOT (log: $PWD/log.txt)"
else
  echo "no screenshot was saved; see $PWD/log.txt" >&2
  exit 1
fi
