#!/usr/bin/env bash
# The Linux road end to end on the authored disc (r): the installed ravlo3 plans and saves,
# project.sh makes the movie with ffmpeg and XviD, and ffprobe checks what came out.
#   variant 1: chain 1, both audio streams to MP3, both subtitle streams, deletion on, reached
#              through a folder whose name is full of shell syntax (a double quote cannot
#              reach the IFO parser's command line; the script writer's test covers it)
#   variant 2: chain 2, one original AC3 stream kept as it is, no subtitles
# Usage: road_test.sh BUILD_DIR DISCS_DIR
set -euo pipefail

source "$(dirname "$0")/road_lib.sh"
RoadStart road "$@"
Probe() {  # Probe FILE STREAM SECTION ENTRY: one value
  ffprobe -v error -select_streams "$2" -show_entries "$3=$4" -of csv=p=0 "$1" | head -n 1
}
Near() { awk -v a="$1" -v b="$2" -v d="$3" 'BEGIN { exit !(a - b <= d && b - a <= d) }'; }
Fill() {  # Fill FOLDER MB: prints the percentage of the medium the results take
  local total
  total=$(cd "$1" && cat movie.avi movie.idx movie.sub ./*.mp3 ./*.ogg ./*.ac3 ./*.wav 2>/dev/null | wc -c)
  awk -v t="$total" -v m="$2" 'BEGIN { printf "%.3f", 100 * t / (m * 1048576) }'
}
InWindow() { awk -v f="$1" 'BEGIN { exit !(f >= 99 && f <= 100) }'; }
Stages() { sed -n 's/^\([A-Za-z0-9 ]*\): [0-9].*/\1/p' "$1/log.txt" | uniq | tr '\n' '|'; }

# --- variant 1 ---
odd="$work/My 'Discs' \$HOME;\`false\` it's"
mkdir -p "$odd"
ln -s "$discs/disc_r/VIDEO_TS" "$odd/VIDEO_TS"
p1="$work/project one"
mkdir -p "$p1"
"$prefix/bin/ravlo3" --open "$odd/VIDEO_TS/VTS_01_0.IFO" --chain 1 --audio 0x80,0x81 \
  --subtitles 0x21,0x20 --format mp3 --quality 128 --size 7 --video xvid --container avi --delete-temporary --delete-logs \
  --save "$p1" >"$work/save1.txt"
Check "the save names project.sh" grep -q "^Script: $p1/project.sh$" "$work/save1.txt"
Check "project.sh is executable" test -x "$p1/project.sh"
start=$(date +%s)
"$p1/project.sh" >"$work/run1.txt" 2>&1 || { cat "$work/run1.txt" >&2; exit 1; }
echo "variant 1: project.sh took $(( $(date +%s) - start )) s"
Check "only results remain" test "$(cd "$p1" && ls | tr '\n' ' ')" = \
  "0x80.mp3 0x81.mp3 log.txt movie.avi movie.idx movie.sh movie.sub project.sh "
Check "video is XviD" test "$(Probe "$p1/movie.avi" v:0 stream codec_tag_string)" = XVID
Check "video has the planned size" test "$(Probe "$p1/movie.avi" v:0 stream width),$(Probe "$p1/movie.avi" v:0 stream height)" = 640,360
Check "video is as long as chain 1 (48 s)" Near "$(Probe "$p1/movie.avi" v:0 format duration)" 48 0.3
for id in 0x80 0x81; do
  f="$p1/$id.mp3"
  Check "$id.mp3 is MP3, 2 channels, 128 kbit/s, 48 s" test \
    "$(Probe "$f" a:0 stream codec_name),$(Probe "$f" a:0 stream channels),$(Probe "$f" a:0 stream bit_rate)" = mp3,2,128000
  Check "$id.mp3 lasts 48 s" Near "$(Probe "$f" a:0 format duration)" 48 0.3
  Check "$id.mp3 carries the author" test "$(Probe "$f" a:0 format_tags encoded_by)" = ravlo.example.net
done
Check "the VobSub pair holds the two subtitle streams in the chosen order" test \
  "$(mkvmerge -i "$p1/movie.idx" | grep -c 'subtitles (VobSub)')" = 2
Check "the VobSub index lists 0x21 (Dutch) first" test "$(grep '^id:' "$p1/movie.idx" | tr -d '\r' | tr '\n' '|')" = \
  "id: nl, index: 0|id: en, index: 1|"
fill=$(Fill "$p1" 7)
Check "the files fill $fill% of the 7 MB medium" InWindow "$fill"
stages=$(Stages "$p1")
Check "log.txt lists the stages ($stages)" test "$stages" = \
  "Analysis|Subtitles|Audio|Video 1st pass|Video 2nd pass|Set author|End|"

# --- variant 2 ---
p2="$work/project two"
mkdir -p "$p2"
"$prefix/bin/ravlo3" --open "$discs/disc_r/VIDEO_TS/VTS_01_0.IFO" --chain 2 --audio 0x80 \
  --format original --size 2 --video xvid --container avi --set chkDelTemp=0 --save "$p2" >"$work/save2.txt"
"$p2/project.sh" >"$work/run2.txt" 2>&1 || { cat "$work/run2.txt" >&2; exit 1; }
f="$p2/0x80o.ac3"
Check "the original stream is kept: AC3, 2 channels, 192 kbit/s" test \
  "$(Probe "$f" a:0 stream codec_name),$(Probe "$f" a:0 stream channels),$(Probe "$f" a:0 stream bit_rate)" = ac3,2,192000
Check "0x80o.ac3 lasts 12 s (chain 2)" Near "$(Probe "$f" a:0 format duration)" 12 0.3
Check "video is as long as chain 2 (12 s)" Near "$(Probe "$p2/movie.avi" v:0 format duration)" 12 0.3
fill=$(Fill "$p2" 2)
Check "the files fill $fill% of the 2 MB medium" InWindow "$fill"
Check "without deletion the temporaries stay" test -f "$p2/movie.vob"
stages=$(Stages "$p2")
Check "log.txt lists the stages ($stages)" test "$stages" = "Analysis|Audio|Video 1st pass|Video 2nd pass|Set author|End|"

[[ $failures -eq 0 ]] || { echo "$failures check(s) failed" >&2; exit 1; }
echo "all checks passed"
