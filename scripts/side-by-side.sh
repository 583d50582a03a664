#!/usr/bin/env bash
# scripts/side-by-side.sh [BUILD_DIR] [RUNS]: the game against OpenSceneGraph and Irrlicht on the
# same level, poses and window. For the showcase and the stress walk of demos/, the game replays
# the walk as a timedemo (with --trace and --frame-times); the peer programs of bench/peers draw
# the level, its sky and its ghosts along the poses of that trace. Runs alternate game, OSG,
# Irrlicht, RUNS times (default 3), each in its own Xvfb with Mesa's software renderer at
# 800 x 600. Prints per run and then the mean over the runs: ms per frame (mean, p99) over the
# frames of the walk's level and the level load, and the game's ratios to each peer.
#
# Load: for a peer, from its first file read to the end of its first frame; for the game, the
# frame before the level's first (it ends with the key that switches level, so it holds the
# load) plus the level's first frame. The showcase is the start level, loaded before the first
# frame: no load figure for the game there. The first frame of the level is left out of the
# frame statistics for all three.
#
# QV_BASE_GAME=NAME adds a second game program of BUILD_DIR (an older build copied there, with its
# NAME.ini beside it) to each run, for before-and-after figures from the same run.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
runs=${2:-3}
scripts/install-deps.sh
scripts/install-bench-deps.sh
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQV_BENCH=ON >/dev/null
nice cmake --build "$dir" -j2 --target quorvantille demo-content peer_osg_walk peer_irrlicht_walk
export QV_NO_DIALOGS=1 QV_XVFB_SCREEN=1024x768x24
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
repo=$(pwd)
# Higher priority where allowed, to take less noise from whatever else runs.
priority=()
if nice -n -5 true 2>/dev/null; then priority=(nice -n -5); fi
run() { "${priority[@]}" "$@"; }

summarise_game() {  # frame-times trace level -> "mean p99 load" over the level's frames
  python3 - "$@" <<'EOF'
import json, math, sys
times = [float(line) for line in open(sys.argv[1])]
levels = [json.loads(line)["level"] for line in open(sys.argv[2])]
level = int(sys.argv[3])
frames = [i for i, l in enumerate(levels) if l == level]
first = frames[0]
load = times[first - 1] + times[first] if first > 0 else float("nan")
rest = sorted(times[i] for i in frames[1:])
p99 = rest[max(1, math.ceil(0.99 * len(rest))) - 1]
print(f"{sum(rest) / len(rest):.3f} {p99:.3f} {load:.1f}")
EOF
}

summarise_peer() {  # result line -> "mean p99 load"
  sed -E 's/.*mean_ms=([^ ]+) p99_ms=([^ ]+) load_ms=([^ ]+).*/\1 \2 \3/'
}

for walk in showcase:2 stress:3; do
  name=${walk%%:*}
  level=${walk##*:}
  levelDir=$(grep -i "^$name=" "$dir/quorvantille.ini" | head -n 1 | cut -d= -f2 | tr -d '\r' | tr '\\' '/')
  echo "== $name walk (level $level, $levelDir), $runs runs: mean_ms p99_ms load_ms"
  : >"$work/$name.results"
  for run_number in $(seq 1 "$runs"); do
    base=""
    if [ -n "${QV_BASE_GAME:-}" ]; then
      (cd "$dir" && run "$repo/scripts/with-xvfb.sh" "./$QV_BASE_GAME" --replay "$repo/demos/$name-walk.txt" \
        --timedemo --frame-times "$work/ft.txt" --trace "$work/trace.jsonl" >/dev/null)
      base=$(summarise_game "$work/ft.txt" "$work/trace.jsonl" "$level")
    fi
    (cd "$dir" && run "$repo/scripts/with-xvfb.sh" ./quorvantille --replay "$repo/demos/$name-walk.txt" \
      --timedemo --frame-times "$work/ft.txt" --trace "$work/trace.jsonl" >"$work/game.out")
    game=$(summarise_game "$work/ft.txt" "$work/trace.jsonl" "$level")
    peers=()
    for peer in osg irrlicht; do
      line=$(cd "$dir" && run "$repo/scripts/with-xvfb.sh" "bench/peers/peer_${peer}_walk" \
        --game-dir . --level "$levelDir" --trace "$work/trace.jsonl" --level-number "$level" | tail -n 1)
      peers+=("$(echo "$line" | summarise_peer)")
    done
    echo "run $run_number: game ${game} | osg ${peers[0]} | irrlicht ${peers[1]}${base:+ | base $base}"
    echo "$game ${peers[0]} ${peers[1]} $base" >>"$work/$name.results"
    sed -n 2p "$work/game.out" | sed 's/^/  game /'
  done
  python3 - "$work/$name.results" <<'EOF'
import sys
rows = [list(map(float, line.split())) for line in open(sys.argv[1])]
mean = [sum(r[i] for r in rows) / len(rows) for i in range(len(rows[0]))]
names = ["game", "osg", "irrlicht", "base"][:len(mean) // 3]
for k, n in enumerate(names):
    print(f"  {n:9s} mean_ms={mean[3*k]:.2f} p99_ms={mean[3*k+1]:.2f} load_ms={mean[3*k+2]:.1f}")
for k in range(1, len(names)):
    print(f"  game/{names[k]}: frame mean {mean[0]/mean[3*k]:.2f}x, p99 {mean[1]/mean[3*k+1]:.2f}x, "
          f"load {mean[2]/mean[3*k+2]:.2f}x")
EOF
done
