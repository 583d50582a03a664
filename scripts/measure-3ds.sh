#!/usr/bin/env bash
# scripts/measure-3ds.sh [BUILD_DIR] [RUNS]: whole-process comparison of `qv-tool info` with a
# lib3ds listing program on a writer-made file of 1,000,000 faces (made by bench_File3DS).
# Prints the median wall time and peak resident memory (GNU time -v) of each, the ratios, and
# checks that both list the same meshes and materials.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
runs=${2:-7}
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQV_BENCH=ON >/dev/null
cmake --build "$dir" -j2 --target qv-tool bench_File3DS lib3ds_info >/dev/null
[ -x "$dir/bench/lib3ds_info" ] || { echo "lib3ds_info was not built (is lib3ds-dev installed?)"; exit 1; }
[ -x /usr/bin/time ] || { echo "GNU time (/usr/bin/time) is needed"; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
file="$work/large.3ds"
QV_BENCH_3DS_OUT="$file" "$dir/bench/bench_File3DS" --benchmark_filter=File3DSOpenOnly \
  --benchmark_min_time=0.01 >/dev/null 2>&1
size=$(stat -c %s "$file")
echo "file: $size bytes ($(awk "BEGIN{printf \"%.1f\", $size/1e6}") MB)"

# Same listing from both (lib3ds sorts its materials by name, so compare sorted lines).
"$dir/qv-tool" info "$file" | sort >"$work/ours.txt"
"$dir/bench/lib3ds_info" "$file" | sort >"$work/lib3ds.txt"
if cmp -s "$work/ours.txt" "$work/lib3ds.txt"; then
  echo "listings agree ($(wc -l <"$work/ours.txt") lines)"
else
  echo "listings differ:"; diff "$work/ours.txt" "$work/lib3ds.txt" | head; exit 1
fi

measure() {  # prints "seconds kilobytes": wall clock around the process, peak RSS from GNU time
  local start end
  start=$(date +%s%N)
  /usr/bin/time -f "%M" -o "$work/t" "$@" >/dev/null
  end=$(date +%s%N)
  echo "$(awk "BEGIN{printf \"%.4f\", ($end - $start) / 1e9}") $(cat "$work/t")"
}
median() { sort -n | awk '{v[NR]=$1} END{print v[int((NR+1)/2)]}'; }

# Interleave the two programs' runs so that machine noise hits both alike.
: >"$work/ours" ; : >"$work/theirs"
for _ in $(seq "$runs"); do
  measure "$dir/qv-tool" info "$file" >>"$work/ours"
  measure "$dir/bench/lib3ds_info" "$file" >>"$work/theirs"
done
ours_s=$(cut -d' ' -f1 "$work/ours" | median);   ours_kb=$(cut -d' ' -f2 "$work/ours" | median)
libs_s=$(cut -d' ' -f1 "$work/theirs" | median); libs_kb=$(cut -d' ' -f2 "$work/theirs" | median)
awk -v os="$ours_s" -v ok="$ours_kb" -v ls="$libs_s" -v lk="$libs_kb" -v size="$size" -v n="$runs" 'BEGIN {
  printf "median of %d runs       wall s   peak RSS MB   RSS / file size\n", n
  printf "qv-tool info          %7.3f   %11.1f   %15.2f\n", os, ok/1024, ok*1024/size
  printf "lib3ds_info           %7.3f   %11.1f   %15.2f\n", ls, lk/1024, lk*1024/size
  printf "qv-tool is %.2fx faster than lib3ds\n", (os > 0 ? ls/os : 0)
}'
