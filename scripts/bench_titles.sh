#!/usr/bin/env bash
# Several titles on one medium against each on its own. The series disc of our own
# (tests/fixtures/make_episodes_disc.sh): three episodes of SECONDS (default 300) - a still
# picture, moving patterns, the patterns under heavy noise - and a "play all" chain made of
# their cells. ravlo3 --episodes chooses the titles; they are made with one medium of MB
# (default 45) shared, and with a medium of MB/3 each. Prints per run and title the bytes of its
# file, its video bitrate and its PSNR against its source after the same scaling and crop, the
# files' total fill, the spread of the PSNRs and the time.
# Usage: scripts/bench_titles.sh [SECONDS [MB]]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
seconds=${1:-300} mb=${2:-45}

cmake --preset native >/dev/null
cmake --build --preset native -j2 --target ravlo3 brimmer ifoscan vobtitle videopass >/dev/null
bench="$root/build/native/bench-titles"
rm -rf "$bench/install" "$bench/runs"
mkdir -p "$bench/runs"
cmake --install build/native --prefix "$bench/install" >/dev/null
export XDG_CONFIG_HOME="$bench/config"
tests/fixtures/make_episodes_disc.sh "$bench/discs" "$seconds"
ifo="$bench/discs/disc_e/VIDEO_TS/VTS_01_0.IFO"

echo "The chains of the disc:"
"$bench/install/bin/ravlo3" --list "$ifo"

# Psnr MOVIE SOURCE CHAIN: the mean of the frames' PSNR (an exact frame counts as 100 dB).
Psnr() {
  ffmpeg -nostdin -hide_banner -loglevel error -y -i "$1" -i "$2" \
    -lavfi "[1:v:0]$3[ref];[0:v][ref]psnr=stats_file=$bench/psnr.txt" -an -sn -f null -
  awk '{ for (i = 1; i <= NF; i++) if ($i ~ /^psnr_avg:/) { split($i, v, ":"); s += v[2] == "inf" ? 100 : v[2]; n++ } }
       END { printf "%.2f", s / n }' "$bench/psnr.txt"
}

# Run NAME OPTIONS...: plans the episodes with the options, makes them, prints the titles.
Run() {
  local name=$1; shift
  local p="$bench/runs/$name"
  "$bench/install/bin/ravlo3" --open "$ifo" --episodes --audio 0x80 --format mp3 --quality 64 "$@" \
    --set chkDelTemp=0 --set chkDelLogs=0 --save "$p" >"$p.save.txt"
  echo
  echo "$name ($*): titles $(sed -n "s/^titles='\(.*\)'$/\1/p" "$p/project.sh")"
  local start=$SECONDS
  "$p/project.sh" >"$p/run.txt" 2>&1 || { tail -n 3 "$p/run.txt"; return 1; }
  echo "  project.sh took $((SECONDS - start)) s; $(grep '^Total' "$p/run.txt")"
  printf '  %-14s %10s %12s %8s\n' file bytes "video bit/s" PSNR
  local t movie crop psnrs=''
  for t in $(sed -n "s/^titles='\(.*\)'$/\1/p" "$p/project.sh"); do
    movie="$p/disc_e_$t.mkv"
    crop=$(sed -n 's/.*\(crop=[0-9]*:[0-9]*:[0-9]*:[0-9]*\).*/\1/p' "$p/title$t/crop.log" | tail -n 1)
    local psnr rate
    psnr=$(Psnr "$movie" "$p/title$t/movie.vob" "scale=640:360:flags=lanczos,$crop")
    rate=$(ffprobe -v error -select_streams v -show_entries stream_tags=BPS -of csv=p=0 "$movie")
    printf '  %-14s %10s %12s %8s\n' "$(basename "$movie")" "$(wc -c <"$movie")" "$rate" "$psnr"
    psnrs="$psnrs $psnr"
  done
  echo "  PSNR spread (highest - lowest): $(echo "$psnrs" | tr ' ' '\n' | awk 'NF { if (n++ == 0 || $1 < lo) lo = $1; if ($1 > hi) hi = $1 } END { printf "%.2f dB", hi - lo }')"
}

Run shared --size "$mb"
Run each --size-each "$(awk -v m="$mb" 'BEGIN { printf "%g", m / 3 }')"
