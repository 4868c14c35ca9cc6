#!/usr/bin/env bash
# Wall time of brimmer.exe under Wine in project folders of 0 to 10,000 audio files, against a
# static GUI program that does nothing, started the same way in the same prefix.
# Usage: scripts/bench_brimmer.sh [BUILD_DIR]   (a Windows build for the Wine wine-env.sh
#        chooses; default build/win32, or build/win64 where 32-bit Wine cannot run)
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/wine-env.sh"
build="$(cd "${1:-$here/../build/$RAVLO_WINE_PRESET}" && pwd)"
brimmer="$build/src/brimmer/brimmer.exe"
baseline="$build/tests/brimmer/brimmer_bench_baseline.exe"
for exe in "$brimmer" "$baseline"; do
  [ -f "$exe" ] || { echo "missing $exe: build targets brimmer and brimmer_bench_baseline" >&2; exit 2; }
done

# A prefix of its own, so the benchmark never stops a test run's wineserver.
export WINEPREFIX="$build/wineprefix-bench"
work="$build/bench-brimmer"
"$here/wine-prefix.sh" start "$WINEPREFIX" </dev/null >/dev/null 2>&1
trap '"$here/wine-prefix.sh" stop "$WINEPREFIX"; rm -rf "$work"' EXIT
rm -rf "$work" && mkdir -p "$work"

runs=9
# median_ms FOLDER PROGRAM ARGS...: median wall time of $runs starts, in milliseconds.
median_ms() {
  local folder="$1"; shift
  local times=() start end
  for ((i = 0; i < runs; i++)); do
    rm -f "$folder/2nd.reg"
    start=$EPOCHREALTIME
    (cd "$folder" && "$RAVLO_WINE" "$@")
    end=$EPOCHREALTIME
    times+=("$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", (b - a) * 1000 }')")
  done
  printf '%s\n' "${times[@]}" | sort -n | sed -n "$((runs / 2 + 1))p"
}

mkdir -p "$work/baseline" && cp "$baseline" "$work/baseline/"
t_base="$(median_ms "$work/baseline" ./brimmer_bench_baseline.exe)"
printf 'trivial static Win32 program: %8.1f ms\n' "$t_base"

declare -A t
for n in 0 100 1000 10000; do
  folder="$work/files$n"
  mkdir -p "$folder" && cp "$brimmer" "$folder/"
  # A third each of .ac3, .mp3 and .ogg, 1000 bytes apiece, plus the non-audio files a project has.
  names=()
  for ((i = 0; i < n; i++)); do names+=("$folder/a$i.$(case $((i % 3)) in 0) echo ac3;; 1) echo MP3;; 2) echo ogg;; esac)"); done
  [ "$n" -gt 0 ] && truncate -s 1000 "${names[@]}"
  truncate -s 5000 "$folder/movie.avi" "$folder/0x80.log" "$folder/project.d2v"
  t[$n]="$(median_ms "$folder" ./brimmer.exe 4478)"
  # The work must have been done, or the timing means nothing: 4478 MB less n * 1000 bytes.
  expected="$(awk -v n="$n" 'BEGIN { kb = n * 1000 / 1024; r = int(kb); f = kb - r;
    if (f > 0.5 || (f == 0.5 && r % 2 == 1)) r++; printf "%X", 4478 * 1024 - r }')"
  grep -q "dword:$expected" "$folder/2nd.reg" || { echo "brimmer gave a wrong line for $n files" >&2; exit 1; }
  printf 'brimmer.exe, %5d audio files: %8.1f ms  (ratio to trivial program %.2f)\n' \
    "$n" "${t[$n]}" "$(awk -v a="${t[$n]}" -v b="$t_base" 'BEGIN { print a / b }')"
done

awk -v a="${t[100]}" -v b="${t[1000]}" -v c="${t[10000]}" 'BEGIN {
  printf "1000 vs 100 files: time ratio %.2f\n", b / a
  printf "cost per file, 100 -> 1000 files:    %.4f ms\n", (b - a) / 900
  printf "cost per file, 1000 -> 10000 files:  %.4f ms  (about equal when the cost is linear)\n", (c - b) / 9000
}'
