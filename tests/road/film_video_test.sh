#!/usr/bin/env bash
# Film and video on both standards through the installed ravlo3 and project.sh, on the discs
# of make_source_discs.sh, each opened as a whole disc folder. ffprobe counts the frames of
# movie.avi and takes its rate; ffmpeg's idet, frame by frame, finds the interlaced ones (its
# multi-frame verdict holds on to its first guess for many frames, so the single-frame
# verdicts are counted). The audio keeps the chain's length.
#   soft telecine, no filter chosen  -> 23.976 fps, 96 frames (no repeated frame)
#   hard telecine, no filter chosen  -> 29.97 fps, 120 frames (mostly video stays)
#   hard telecine, IVTC              -> 23.976 fps, 96 frames, hardly an interlaced frame
#   hard telecine, Deinterlace       -> 29.97 fps, 120 frames, hardly an interlaced frame
#   PAL interlaced video, Deinterlace -> 25 fps, 100 frames, hardly an interlaced frame
#   PAL film with shifted fields, IVTC -> 25 fps, 100 frames, hardly an interlaced frame
# Usage: film_video_test.sh BUILD_DIR DISCS_DIR
set -euo pipefail

source "$(dirname "$0")/road_lib.sh"
RoadStart film_video "$@"
Near() { awk -v a="$1" -v b="$2" -v d="$3" 'BEGIN { exit !(a - b <= d && b - a <= d) }'; }
# The share of frames idet finds interlaced, in percent.
Interlaced() {
  ffmpeg -nostdin -hide_banner -i "$1" -an -vf idet -f null - 2>&1 |
    sed -n 's/.*Single frame detection: TFF: *\([0-9]*\) BFF: *\([0-9]*\) Progressive: *\([0-9]*\) Undetermined: *\([0-9]*\).*/\1 \2 \3 \4/p' |
    awk '{ printf "%.1f", 100 * ($1 + $2) / ($1 + $2 + $3 + $4) }'
}
NotIn() { ! grep -qs "$1" "$2"; }
AtMost() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a <= b) }'; }

# Variant NAME DISC CHAIN RATE FRAMES IDET OPTION...: IDET "-" skips the interlace check.
Variant() {
  local name=$1 disc=$2 chain=$3 rate=$4 frames=$5 idet=$6; shift 6
  local project="$work/$name"
  mkdir -p "$project"
  "$prefix/bin/ravlo3" --open "$discs/$disc" --chain "$chain" --audio 0x80 --format mp3 --size 3 --video xvid --container avi \
    --set chkResize=0 --set chkAC=0 "$@" --save "$project" >"$project.save.txt" 2>&1 ||
    { cat "$project.save.txt" >&2; failures=$((failures + 1)); return; }
  if ! "$project/project.sh" >"$project.run.txt" 2>&1; then
    echo "FAILED: $name: project.sh failed" >&2
    cat "$project.run.txt" >&2
    failures=$((failures + 1))
    return
  fi
  local avi="$project/movie.avi"
  local got
  got=$(ffprobe -v error -count_frames -select_streams v:0 -show_entries stream=r_frame_rate,nb_read_frames \
        -of csv=p=0 "$avi")
  Check "$name: $rate fps, $frames frames (got $got)" \
    awk -F, -v rate="$rate" -v frames="$frames" '{ exit !($1 == rate && $2 - frames <= 1 && frames - $2 <= 1) }' <<<"$got"
  Check "$name: the audio lasts the chain's 4 s" \
    Near "$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$project/0x80.mp3")" 4 0.15
  Check "$name: the video lasts the chain's 4 s" \
    Near "$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$avi")" 4 0.15
  if [[ $idet != - ]]; then
    local share
    share=$(Interlaced "$avi")
    Check "$name: idet finds $share% of the frames interlaced (at most $idet%)" AtMost "$share" "$idet"
  fi
}

Variant soft disc_soft 1 24000/1001 96 -
Check "project.sh names the soft telecine it found" grep -q "soft telecine (" "$work/soft.run.txt"
Variant hard disc_hard 1 30000/1001 120 -
Check "hard telecine is not taken for soft" NotIn "soft telecine" "$work/hard.run.txt"
Variant hard_ivtc disc_hard 1 24000/1001 96 5 --set chkIVTC=1
Variant hard_deinterlace disc_hard 1 30000/1001 120 5 --set chkDeinterlace=1
Variant pal_deinterlace disc_pal 1 25/1 100 5 --set chkDeinterlace=1
Variant pal_ivtc disc_pal 2 25/1 100 5 --set chkIVTC=1
# The sources are what they claim: ffprobe finds repeat-field flags on half the soft telecine
# disc's pictures and on none of the hard one's; idet finds the interlaced ones interlaced, so
# the checks above can fail.
Flagged() {
  ffprobe -v error -select_streams v:0 -show_entries frame=repeat_pict -of csv=p=0 "$discs/$1" |
    awk -F, '/^[0-9]/ { n++; if ($1 > 0) r++ } END { print r + 0, n + 0 }'
}
Check "the soft telecine source flags 48 of its 96 pictures ($(Flagged disc_soft/VIDEO_TS/VTS_01_1.VOB))" \
  test "$(Flagged disc_soft/VIDEO_TS/VTS_01_1.VOB)" = "48 96"
Check "the hard telecine source flags none of its 120 pictures" test "$(Flagged disc_hard/VIDEO_TS/VTS_01_1.VOB)" = "0 120"
for source in disc_hard/VIDEO_TS/VTS_01_1.VOB disc_pal/VIDEO_TS/VTS_01_1.VOB; do
  share=$(Interlaced "$discs/$source")
  Check "the source $source is interlaced to idet ($share%)" AtMost 40 "$share"
done

[[ $failures -eq 0 ]] || { echo "$failures check(s) failed" >&2; exit 1; }
echo "all checks passed"
