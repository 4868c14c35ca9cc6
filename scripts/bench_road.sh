#!/usr/bin/env bash
# The Linux road against its floor. On the authored disc (r), for a few media sizes: the wall
# time of project.sh (all stages) against a bare ffmpeg libxvid two-pass encode of the same
# chain with the same filters at the bitrate project.sh ended with (no audio, no subtitles);
# prints the ratio, the number of second passes and the fill of the medium. The ratio is also
# given without the corrections (the time from the second "Video 2nd pass" to "Set author"
# in log.txt taken off), which is what the job costs when the first second pass lands.
# Usage: scripts/bench_road.sh [SIZE_MB...]   (default: 6 7 8; the native build must exist)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(6 7 8)

cmake --preset native >/dev/null
cmake --build --preset native -j2 >/dev/null
bench="$root/build/native/bench-road"
rm -rf "$bench"
mkdir -p "$bench"
cmake --install build/native --prefix "$bench/install" >/dev/null
[ -x "$bench/install/bin/vobtitle" ] || { echo "bench_road.sh: vobtitle is not built" >&2; exit 1; }
tests/fixtures/make_road_disc.sh "$root/build/native/discs"
export XDG_CONFIG_HOME="$bench/config"

Seconds() { date +%s.%N; }
Since() { awk -v a="$1" -v b="$(Seconds)" 'BEGIN { printf "%.1f", b - a }'; }

# Seconds spent in corrections: from the second "Video 2nd pass" line of log.txt to "Set author".
CorrectionTime() {
  awk -F': ' 'function s(t, p) { split(t, p, ":"); return p[1] * 3600 + p[2] * 60 + p[3] }
    $1 == "Video 2nd pass" && ++n == 2 { from = s($2) }
    $1 == "Set author" { to = s($2) }
    END { printf "%.1f", (from ? to - from : 0) }' "$1"
}

printf '%-8s %10s %10s %7s %18s %11s %8s\n' medium project.sh floor ratio "ratio w/o corr." \
  "2nd passes" fill
for mb in "${sizes[@]}"; do
  p="$bench/project-$mb"
  mkdir -p "$p"
  build/native/bench-road/install/bin/ravlo3 \
    --open "$root/build/native/discs/disc_r/VIDEO_TS/VTS_01_0.IFO" --chain 1 \
    --audio 0x80,0x81 --subtitles 0x21,0x20 --format mp3 --size "$mb" --set chkDelTemp=0 --set chkDelLogs=0 \
    --save "$p" >/dev/null
  start=$(Seconds)
  "$p/project.sh" >"$p/run.txt" 2>&1 || { cat "$p/run.txt" >&2; exit 1; }
  road=$(Since "$start")
  passes=$(grep -c '^Video 2nd pass: ' "$p/log.txt")
  bps=$(sed -n 's/^Video 2nd pass at \([0-9]*\) bit.*/\1/p' "$p/size.log" | tail -n 1)
  fill=$(sed -n 's/.* \([0-9.]*\)% of the medium$/\1/p' "$p/size.log" | tail -n 1)
  crop=$(sed -n 's/.*\(crop=[0-9]*:[0-9]*:[0-9]*:[0-9]*\).*/\1/p' "$p/crop.log" | tail -n 1)

  # The floor: the same two passes, nothing else.
  f="$p/floor"
  mkdir -p "$f"
  start=$(Seconds)
  (cd "$f" &&
   ffmpeg -nostdin -loglevel error -y -i ../movie.vob -map 0:v:0 -an -sn \
     -vf "scale=640:360:flags=lanczos,$crop" -c:v libxvid -vtag XVID -b:v "$bps" -pass 1 \
     -passlogfile xvid -f avi /dev/null &&
   ffmpeg -nostdin -loglevel error -y -i ../movie.vob -map 0:v:0 -an -sn \
     -vf "scale=640:360:flags=lanczos,$crop" -c:v libxvid -vtag XVID -b:v "$bps" -pass 2 \
     -passlogfile xvid -f avi movie.avi)
  floor=$(Since "$start")
  ratio=$(awk -v a="$road" -v b="$floor" 'BEGIN { printf "%.2f", a / b }')
  plain=$(awk -v a="$road" -v c="$(CorrectionTime "$p/log.txt")" -v b="$floor" \
    'BEGIN { printf "%.2f", (a - c) / b }')
  printf '%-8s %9ss %9ss %7s %18s %11s %7s%%\n' "$mb MB" "$road" "$floor" "$ratio" "$plain" \
    "$passes" "$fill"
done
