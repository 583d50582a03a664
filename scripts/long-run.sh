#!/usr/bin/env bash
# scripts/long-run.sh [BUILD_DIR] [MINUTES]: a long replayed game on the showcase level, to show
# that nothing grows. It writes an input file of MINUTES (default 30) of game time in 100 ms
# frames - walking, turning, games started and ended - with 50 level switches and 20 full-screen
# switches on the way, and replays it in a folder of its own from BUILD_DIR (default build-asan,
# made by `make asan`), with the leak check on. The switches load the levels of LEVELS in turn
# (default "2": each one loads the showcase afresh; "2 1 2 0 2 3" tours every level).
# The game logs the GL objects alive and its resident memory after every level load and every
# new context (QV_RESOURCE_LOG); the script compares the first switch with the last one that
# loaded the same level and fails on a leak report, a GL object count that differs or resident
# memory changed by 5 % or more.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$(realpath "${1:-build-asan}")
minutes=${2:-30}
run=$(mktemp -d "${TMPDIR:-/tmp}/qv-long-run.XXXXXX")
cp -r "$build"/{quorvantille,levels,objects} "$run"/
# The full-screen mode is the test display's own size, so every switch really changes mode; a
# small one, so that the software renderer spends its time on the game rather than on pixels.
export QV_XVFB_SCREEN=640x480x24
sed -e 's/^Width=.*/Width=640/' -e 's/^Height=.*/Height=480/' -e 's/^Bits=.*/Bits=24/' \
  "$build/quorvantille.ini" >"$run/quorvantille.ini"

python3 - "$minutes" "${LEVELS:-2}" >"$run/long-run.txt" <<'PY'
import sys
frames = int(sys.argv[1]) * 60 * 10
switchEvery = frames // 50
# One full-screen round trip before the first level switch, so that the switch figures compare
# a program that has been through every path once; the other 18 spread over the run.
fullScreenFrames = {2, 4} | {switchEvery + k * (frames - switchEvery) // 18 for k in range(18)}
levels = sys.argv[2].split()
print("quorvantille-input 1\nseed 20261209\nmouse 400 300")
for f in range(1, frames + 1):
    block = f % switchEvery
    if block == 10: print("key down 38")                     # walk
    if block == 100: print("key up 38")
    if 100 < block < 140: print(f"mouse {400 + (block - 100) * 4} 300")  # turn
    if block == 140: print("mouse 400 300")
    if block == 150: print("key down 13\nkey up 13")        # the player starts seeking
    if 160 <= block < 260 and block % 50 == 0: print("key down 39") if block % 100 == 0 else print("key up 39")
    if block == 300: print("key down 32\nkey up 32")        # the game ends
    if block == switchEvery // 2:
        level = levels[(f // switchEvery) % len(levels)]
        print(f"key down {ord(level)}\nkey up {ord(level)}")
    if f in fullScreenFrames:
        print("key down 113\nkey up 113")
    print("frame 100")
PY

# Libraries stay loaded to the end, so the leak check can name the one behind each leak.
cc -shared -fPIC -o "$run/keep-libraries-loaded.so" scripts/keep-libraries-loaded.c
export QV_NO_DIALOGS=1 QV_RESOURCE_LOG=1 LD_PRELOAD="$run/keep-libraries-loaded.so"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:verify_asan_link_order=0}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$root/scripts/lsan.supp:print_suppressions=0}
start=$(date +%s)
set +e
(cd "$run" && QV_FORCE_XVFB=1 "$root/scripts/with-xvfb.sh" ./quorvantille --replay long-run.txt \
  2>stderr.txt)
code=$?
set -e
echo "long run: exit code $code after $(($(date +%s) - start)) s in $run"
python3 - "$run" <<'PY'
import re, sys
run = sys.argv[1]
log = [l.split("  ", 1)[-1].strip() for l in open(f"{run}/log.txt", encoding="latin-1")]
loads, level = [], None
for line in log:
    m = re.match(r"trying to load level:(\d+)", line)
    if m: level = m.group(1)
    m = re.match(r"GL objects alive: (\d+) textures, (\d+) display lists; resident memory (\d+) kB", line)
    if m:
        loads.append((level, *map(int, m.groups())))
        level = None
switches = [l for l in loads if l[0] is not None][1:]  # the start level is no switch
contexts = [l for l in loads if l[0] is None]
print(f"level switches: {len(switches)}, new contexts: {len(contexts)}")
first = switches[0]
last = [l for l in switches if l[0] == first[0]][-1]
for name, l in (("after the first switch", first), ("after the last switch", last)):
    print(f"{name}: level {l[0]}, {l[1]} textures, {l[2]} display lists, {l[3]} kB resident")
growth = (last[3] - first[3]) / first[3] * 100
print(f"resident memory change: {growth:+.2f} %")
ok = first[0] == last[0] and first[1:3] == last[1:3] and abs(growth) < 5
sys.exit(0 if ok else 1)
PY
figures=$?
if grep -q "LeakSanitizer\|AddressSanitizer\|runtime error" "$run/stderr.txt"; then
  echo "long run: the sanitizers reported (see $run/stderr.txt)"; exit 1
fi
[ "$code" -eq 0 ] && [ "$figures" -eq 0 ]
