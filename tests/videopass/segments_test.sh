#!/usr/bin/env bash
# videopass with the real ffmpeg on a small title: for filter chains that work on runs of
# frames (field matching with decimation, deinterlacing, crop), the joined movie.avi has the
# whole chain's frame count and length, decodes without a message, and every frame (the ones at
# the borders included) is the whole chain's frame, not a neighbour: each one's PSNR against
# the whole chain's lossless output stays high. A chain that treats each frame alone on a source
# with regular time stamps seeks each segment to its frames; a source whose clock jumps (two
# VOBs run together) decodes from the start as before, and both give the chain's frames. Main
# segments heading far over their shares are stopped part-way and the movie still fills.
# Usage: segments_test.sh VIDEOPASS WORKDIR
set -euo pipefail
videopass=$(realpath "${1:?usage: segments_test.sh VIDEOPASS WORKDIR}")
work=${2:?usage: segments_test.sh VIDEOPASS WORKDIR}
rm -rf "$work"
mkdir -p "$work"
cd "$work"

failures=0
Check() {  # Check DESCRIPTION COMMAND...
  local what=$1; shift
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what" >&2; failures=$((failures + 1)); fi
}

# 12 s of telecined NTSC film (3:2 pulldown of a pattern scrolling fast enough that
# neighbouring frames differ clearly), interlaced MPEG-2 in a
# program stream as on a disc, a key frame every 15 frames, B-frames between, with audio that
# starts before the video (the stream's first time stamp is not the file's start).
ffmpeg -nostdin -v error -y -f lavfi -i "testsrc=size=352x240:rate=24000/1001:duration=12,scroll=horizontal=0.03,telecine" \
  -f lavfi -i "sine=duration=12" -c:v mpeg2video -flags +ilme+ildct -q:v 2 -g 15 -bf 2 -c:a mp2 -f vob source.vob
# Two titles' VOBs run together: the second starts its clock again.
for part in 1 2; do
  ffmpeg -nostdin -v error -y -f lavfi -i "testsrc=size=352x240:rate=30000/1001:duration=5,scroll=vertical=0.02" \
    -c:v mpeg2video -q:v 2 -g 15 -bf 2 -f vob "part$part.vob"
done
cat part1.vob part2.vob >jumps.vob

n=0
for run in "source fieldmatch,decimate" "source yadif" "source crop=320:224:16:8,scale=160:112" \
           "jumps crop=320:224:16:8,scale=160:112"; do
  n=$((n + 1))
  source=${run%% *}.vob chain=${run#* }
  duration=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$source")
  mkdir -p "c$n"
  (
    cd "c$n"
    ffmpeg -nostdin -v error -y -i "../$source" -map 0:v:0 -vf "$chain" -c:v ffv1 -f nut whole.nut
    "$videopass" first --stage 1/2 --duration "$duration" --source "../$source" -- -vf "$chain" \
      >first.txt 2>first.err
    # Room for a clear picture: 3 MB for 12 s.
    "$videopass" second --stage 2/2 --source "../$source" --medium 3000000 --out movie.avi -- -vf "$chain" \
      >second.txt 2>second.err
  ) || { cat "c$n"/*.err >&2; failures=$((failures + 1)); continue; }
  want=$(ffprobe -v error -count_frames -select_streams v:0 -show_entries stream=nb_read_frames -of csv=p=0 "c$n/whole.nut")
  got=$(ffprobe -v error -count_frames -select_streams v:0 -show_entries stream=nb_read_frames -of csv=p=0 "c$n/movie.avi")
  Check "$run: $got frames, as the whole chain's $want" test "$got" = "$want"
  rate=$(ffprobe -v error -select_streams v:0 -show_entries stream=r_frame_rate -of csv=p=0 "c$n/whole.nut")
  length=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "c$n/movie.avi")
  Check "$run: $length s long, $want frames at $rate" \
    awk -v l="$length" -v n="$want" -v r="$rate" 'BEGIN { split(r, q, "/"); d = n * q[2] / q[1]; exit !(l - d < 0.05 && d - l < 0.05) }'
  Check "$run: movie.avi decodes without a message" test -z "$(ffmpeg -nostdin -v error -i "c$n/movie.avi" -f null - 2>&1)"
  Check "$run: the segments are gone into one index (one AVI stream)" \
    test "$(ffprobe -v error -show_entries stream=codec_tag_string -of csv=p=0 "c$n/movie.avi")" = XVID
  ffmpeg -nostdin -v error -i "c$n/movie.avi" -i "c$n/whole.nut" -lavfi "[0:v][1:v]psnr=stats_file=c$n/psnr.txt" -f null -
  worst=$(awk '{ for (i = 1; i <= NF; i++) if ($i ~ /^psnr_avg:/) { split($i, v, ":"); if (min == "" || v[2] < min) min = v[2] } } END { print min }' "c$n/psnr.txt")
  Check "$run: every frame is the chain's own (worst PSNR $worst dB)" awk -v w="$worst" 'BEGIN { exit !(w >= 28) }'
  borders=$(grep -c '^Video 2nd pass: segment [0-9]* frames' "c$n/size.log")
  Check "$run: cut into $borders segments" test "$borders" -ge 2
  # Only a chain that treats each frame alone, on a clock that never jumps, seeks.
  seeks=0
  [[ $run == "source crop"* ]] && seeks=1
  Check "$run: seeks $seeks" grep -qx "seek $seeks .*" "c$n/segments/plan.txt"
done

# A source that ends long before the length its container gave (a VOB cut short) is caught by
# the first pass, before a second pass is spent on it; on one core, where the title is one
# segment and no segment's own count can tell.
mkdir -p short
(cd short && taskset -c 0 "$videopass" first --stage 1/2 --duration 60 --source ../source.vob -- -vf yadif >first.txt 2>first.err) &&
  short=ran || short=failed
Check "a source shorter than its length fails the first pass" test "$short" = failed
Check "and says why" grep -q "frames, 12.0 seconds, where the title lasts 60.0; the source was not read whole" short/first.err

# An easy picture at a small medium: libxvid makes the main part so much larger than its
# shares that the trailing segment could not make it up. The pieces most over their shares are
# made again, asked for less, and the movie still fills.
ffmpeg -nostdin -v error -y -f lavfi -i "testsrc=size=352x288:rate=25:duration=60" -c:v mpeg2video -q:v 2 -g 12 \
  -bf 2 -f vob still.vob
mkdir -p still
(cd still && "$videopass" first --stage 1/2 --duration 60 --source ../still.vob -- >first.txt 2>first.err &&
  "$videopass" second --stage 2/2 --source ../still.vob --medium 1500000 --out movie.avi -- >second.txt 2>second.err) &&
  still=made || { still=failed; cat still/*.err >&2; }
Check "the easy title is made" test "$still" = made
# "Video 2nd pass: the main part made 116.13% of what it should; segments 1, 2 are made again"
again=$(grep -c '^Video 2nd pass: the main part made 1[0-9][0-9]\.[0-9]*% of what it should; segments\{0,1\} [0-9, ]* \(is\|are\) made again$' still/size.log)
Check "pieces over their shares were made again ($again times)" test "$again" -ge 1
fill=$(sed -n 's/.* \([0-9.]*\)% of the medium$/\1/p' still/size.log | tail -n 1)
Check "and it fills the medium (${fill:-no}%)" awk -v f="${fill:-0}" 'BEGIN { exit !(f >= 99.5 && f <= 100) }'
frames=$(ffprobe -v error -count_frames -select_streams v:0 -show_entries stream=nb_read_frames -of csv=p=0 still/movie.avi)
Check "with every frame ($frames)" test "$frames" = 1500

# A shifted frame is caught: the same chain with its frames one off scores far lower.
ffmpeg -nostdin -v error -i c1/movie.avi -i c1/whole.nut \
  -lavfi "[1:v]trim=start_frame=1,setpts=PTS-STARTPTS[b];[0:v][b]psnr=stats_file=shifted.txt" -f null -
shifted=$(awk '{ for (i = 1; i <= NF; i++) if ($i ~ /^psnr_avg:/) { split($i, v, ":"); s += v[2]; n++ } } END { print s / n }' shifted.txt)
Check "one frame off scores under the bar (average $shifted dB)" awk -v w="$shifted" 'BEGIN { exit !(w < 28) }'

[[ $failures -eq 0 ]] || { echo "$failures check(s) failed" >&2; exit 1; }
echo "all checks passed"
