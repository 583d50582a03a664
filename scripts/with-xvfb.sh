#!/usr/bin/env bash
# scripts/with-xvfb.sh COMMAND...: runs COMMAND with a display. When none is set (or QV_FORCE_XVFB
# is set), starts one Xvfb server for the command, on a display number the server picks itself
# (so several runs at once never collide), and stops it afterwards. Mesa's software renderer
# draws into it; QV_XVFB_SCREEN sets the screen (default 1280x1024x24). The command's exit code is
# this script's.
set -euo pipefail
export LIBGL_ALWAYS_SOFTWARE=1
if [ -n "${DISPLAY:-}" ] && [ -z "${QV_FORCE_XVFB:-}" ]; then
  exec "$@"
fi
if ! command -v Xvfb >/dev/null; then
  echo "with-xvfb.sh: Xvfb is not installed (scripts/install-deps.sh installs it)" >&2
  exit 1
fi
numberFile=$(mktemp)
Xvfb -displayfd 7 -screen 0 "${QV_XVFB_SCREEN:-1280x1024x24}" -nolisten tcp 7>"$numberFile" >/dev/null 2>&1 &
xvfbPid=$!
trap 'kill "$xvfbPid" 2>/dev/null || true; rm -f "$numberFile"' EXIT
for _ in $(seq 1 200); do
  [ -s "$numberFile" ] && break
  kill -0 "$xvfbPid" 2>/dev/null || { echo "with-xvfb.sh: Xvfb did not start" >&2; exit 1; }
  sleep 0.05
done
[ -s "$numberFile" ] || { echo "with-xvfb.sh: Xvfb gave no display number" >&2; exit 1; }
export DISPLAY=":$(head -n 1 "$numberFile")"
"$@"
