#!/usr/bin/env bash
# Times vobtitle --stream of one large chain against cat of the same VOB files, both to
# /dev/null, with the files in the page cache: cat is the floor any reader of those bytes
# meets. Prints the medians, their ratio and vobtitle's peak memory.
# Usage: bench_vobtitle.sh [BUILD_DIR] [MB_PER_VOB] [RUNS]
# BUILD_DIR (default build/bench-vobtitle) gets an optimised native build of vobtitle, the
# sample discs and the large title set: sample disc (c)'s IFO with its chain 2 turned into one
# cell over three VOB files of MB_PER_VOB (default 300) made of disc (c)'s packs.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/bench-vobtitle}
mb=${2:-300}
runs=${3:-5}
vobtitle="$build/src/vobtitle/vobtitle"
cmake --preset native -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" -j2 --target vobtitle >/dev/null
"$root/tests/fixtures/make_discs.sh" "$build/discs"

set_dir="$build/large/VIDEO_TS"
rm -rf "$build/large"
mkdir -p "$set_dir"
trap 'rm -rf "$build/large"' EXIT
source_vob="$build/discs/disc_c/VIDEO_TS/VTS_01_1.VOB"
for n in 1 2 3; do
  while (($(stat -c %s "$set_dir/VTS_01_$n.VOB" 2>/dev/null || echo 0) < mb * 1024 * 1024)); do
    cat "$source_vob" >>"$set_dir/VTS_01_$n.VOB"
  done
done
sectors=$(($(cat "$set_dir"/VTS_01_[123].VOB | wc -c) / 2048))

# Big-endian fields of the IFO copy: read with od, written with printf and dd.
ifo="$set_dir/VTS_01_0.IFO"
cp "$build/discs/disc_c/VIDEO_TS/VTS_01_0.IFO" "$ifo"
U32() { od -An -tu1 -j "$1" -N4 "$ifo" | awk '{ print (($1 * 256 + $2) * 256 + $3) * 256 + $4 }'; }
U16() { od -An -tu1 -j "$1" -N2 "$ifo" | awk '{ print $1 * 256 + $2 }'; }
Put() {  # OFFSET BYTES...
  local at=$1; shift
  printf "$(printf '\\%03o' "$@")" | dd of="$ifo" bs=1 seek="$at" conv=notrunc status=none
}
PutU32() { Put "$1" $(($2 >> 24 & 255)) $(($2 >> 16 & 255)) $(($2 >> 8 & 255)) $(($2 & 255)); }
pgcit=$(($(U32 0xCC) * 2048))
chain=$((pgcit + $(U32 $((pgcit + 8 + 8 + 4)))))
cells=$((chain + $(U16 $((chain + 0xE8)))))
Put $((chain + 2)) 1 1  # one program of one cell
PutU32 $((cells + 8)) 0
PutU32 $((cells + 20)) $((sectors - 1))

"$vobtitle" "$ifo" 2 1 --stream - | cmp -s - <(cat "$set_dir"/VTS_01_[123].VOB) ||
  { echo "bench_vobtitle.sh: the stream differs from the VOB files" >&2; exit 1; }

Millis() {
  local start=$EPOCHREALTIME
  "$@" >/dev/null
  local end=$EPOCHREALTIME
  awk -v s="$start" -v e="$end" 'BEGIN { printf "%d", (e - s) * 1000 }'
}
Median() { printf '%s\n' "$@" | sort -n | sed -n "$(($# / 2 + 1))p"; }
ours=() floor=()
for ((i = 0; i < runs; i++)); do
  ours+=("$(Millis "$vobtitle" "$ifo" 2 1 --stream -)")
  floor+=("$(Millis cat "$set_dir"/VTS_01_[123].VOB)")
done
oursMs=$(Median "${ours[@]}") floorMs=$(Median "${floor[@]}")
memory=$(/usr/bin/time -f %M "$vobtitle" "$ifo" 2 1 --stream - 2>&1 >/dev/null | tail -1)
ratio=$(awk -v o="$oursMs" -v f="$floorMs" 'BEGIN { printf "%.2f", o / (f > 0 ? f : 1) }')
printf 'One chain of %d MB over three VOB files, median of %d runs, from the page cache:\n' $((sectors * 2048 / 1048576)) "$runs"
printf '  vobtitle --stream  %6d ms  (peak memory %d KB)\n' "$oursMs" "$memory"
printf '  cat                %6d ms\n' "$floorMs"
printf '  ratio              %6s\n' "$ratio"
awk -v r="$ratio" 'BEGIN { exit !(r <= 1.5) }' || { echo "  vobtitle is far slower than cat"; exit 1; }
