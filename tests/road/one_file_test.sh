#!/usr/bin/env bash
# One playable file on the authored disc (r): the installed ravlo3 plans with its defaults
# (H.264 in MKV) and with other codecs and containers, project.sh makes the file, and ffprobe
# checks that it holds every chosen track in order with its language, the chapters, the
# chain's length, decodes without an error and fills the medium.
# Usage: one_file_test.sh BUILD_DIR DISCS_DIR
set -euo pipefail

source "$(dirname "$0")/road_lib.sh"
RoadStart one_file "$@"
ifo="$discs/disc_r/VIDEO_TS/VTS_01_0.IFO"
Streams() {  # Streams FILE: "type:codec:language" of every stream, in order (MP4 keeps its chapters
             # in a data stream of their own: not a track)
  ffprobe -v error -show_entries stream=codec_type,codec_name:stream_tags=language -of csv=p=0 "$1" |
    awk -F, '$2 != "data" { printf "%s:%s:%s ", $2, $1, ($3 == "" ? "-" : $3) }'
}
# The chapters' starts to the second: the disc's authoring moves a chapter to the nearest
# group of pictures.
Chapters() { ffprobe -v error -show_entries chapter=start_time -of csv=p=0 "$1" | awk '{ printf "%.0f ", $1 }'; }
Length() { ffprobe -v error -show_entries format=duration -of csv=p=0 "$1"; }
Near() { awk -v a="$1" -v b="$2" -v d="$3" 'BEGIN { exit !(a - b <= d && b - a <= d) }'; }
InWindow() { awk -v t="$1" -v m="$2" 'BEGIN { f = 100 * t / (m * 1048576); exit !(f >= 99.5 && f <= 100) }'; }

# NAME CHAIN MB EXPECTED-FILE STREAMS CHAPTERS SECONDS OPTIONS...: saves, runs, checks.
Movie() {
  local name=$1 chain=$2 mb=$3 file=$4 streams=$5 chapters=$6 seconds=$7; shift 7
  local p="$work/$name"
  mkdir -p "$p"
  "$prefix/bin/ravlo3" --open "$ifo" --chain "$chain" --size "$mb" "$@" --save "$p" >"$p.save.txt" 2>&1 ||
    { cat "$p.save.txt" >&2; return 1; }
  local start=$SECONDS
  "$p/project.sh" >"$p.run.txt" 2>&1 || { cat "$p.run.txt" >&2; return 1; }
  echo "$name: project.sh took $((SECONDS - start)) s"
  local movie="$p/$file"
  Check "$name: the one result is $file" test "$(cd "$p" && ls | tr '\n' ' ')" = "$file log.txt movie.sh mux.sh project.sh "
  Check "$name: its streams in the chosen order with their languages ($(Streams "$movie"))" test "$(Streams "$movie")" = "$streams"
  Check "$name: its chapters start at the disc's ($(Chapters "$movie"))" test "$(Chapters "$movie")" = "$chapters"
  Check "$name: it lasts the chain's $seconds s ($(Length "$movie"))" Near "$(Length "$movie")" "$seconds" 0.3
  Check "$name: it decodes without an error" test -z "$(ffmpeg -nostdin -v error -i "$movie" -f null - 2>&1)"
  Check "$name: it fills [99.5%, 100%] of $mb MB ($(wc -c <"$movie") bytes)" InWindow "$(wc -c <"$movie")" "$mb"
}

Movie default 1 7 disc_r.mkv \
  "video:h264:- audio:mp3:ger audio:mp3:eng subtitle:dvd_subtitle:dut subtitle:dvd_subtitle:eng " \
  "0 16 32 " 48 --audio 0x81,0x80 --subtitles 0x21,0x20 --delete-temporary --delete-logs
Check "default: the first audio track is the default one" test \
  "$(ffprobe -v error -show_entries stream=index:stream_disposition=default -select_streams a -of csv=p=0 "$work/default/disc_r.mkv" | tr '\n' ' ')" = "1,1 2,0 "
Check "default: the subtitles keep the disc's palette" \
  mkvextract "$work/default/disc_r.mkv" tracks "3:$work/default.idx" >/dev/null
Check "... a palette of the disc's colours" grep -q '^palette: [0-9a-f]\{6\}, ' "$work/default.idx"

Movie hevc 2 2 disc_r.mkv "video:hevc:- audio:aac:eng audio:aac:ger subtitle:dvd_subtitle:eng " "0 " 12 \
  --video hevc --audio 0x80,0x81 --subtitles 0x20 --format aac --quality 96
Movie mp4 2 2 disc_r.mp4 "video:h264:und audio:opus:ger " "0 " 12 \
  --container mp4 --audio 0x81 --format opus --quality 64

# A file of the movie's name found in the folder at the start may not be this project's: it is
# moved aside, never replaced.
echo "not ours" >"$work/mp4/disc_r.mp4"
"$work/mp4/project.sh" >"$work/mp4.again.txt" 2>&1 || { cat "$work/mp4.again.txt" >&2; exit 1; }
Check "a file of the movie's name is moved aside" test "$(cat "$work/mp4/earlier results/disc_r.mp4")" = "not ours"
Check "... and the movie made again" InWindow "$(wc -c <"$work/mp4/disc_r.mp4")" 2

# MP4 cannot show the disc's subtitles: refused at the save, nothing saved.
set +e
"$prefix/bin/ravlo3" --open "$ifo" --chain 2 --size 2 --container mp4 --audio 0x80 --subtitles 0x20 \
  --save "$work/refused" >"$work/refused.out" 2>"$work/refused.err"
code=$?
set -e
Check "MP4 with subtitles: exit code 1 ($code)" test "$code" = 1
Check "... the reason names MKV" grep -q "MP4 cannot carry the disc's bitmap subtitles .*choose MKV" "$work/refused.err"
Check "... nothing saved" test ! -e "$work/refused/project.sh"

[[ $failures -eq 0 ]] || { echo "$failures check(s) failed" >&2; exit 1; }
echo "all checks passed"
