#!/bin/sh
# Stands in for project.sh in the progress window's tests: the stages, refreshes and end
# lines as the real script prints them, in a second or two. STANDIN_MODE picks the run:
#   ok      three stages (headers only, terminal refreshes, line refreshes), results, fill
#   fail    fails in its second stage as project.sh's Fail reports it
#   correct as ok, and the second pass is corrected once as videopass does it: the stage's
#           header again with its note, then its progress from the start
#   hang    starts helpers (one ignoring TERM) and the working files (a folder among them),
#           and waits for ever, for Cancel
set -u
echo "Encoding - the stages and their times go to log.txt"
: >log.txt
# The correction's run ends with a stage of its own, as project.sh's End.
n=3
[ "${STANDIN_MODE:-ok}" = correct ] && n=4
Stage() { printf '\n[%d/%d] %s\n' "$1" "$n" "$2"; echo "$2: $(date +%T)" >>log.txt; }

Stage 1 Analysis
if [ "${STANDIN_MODE:-ok}" = hang ]; then
  mkdir -p segments && : >segments/video1.0.avi && : >movie.vob
  echo "Analysis: vobtitle /media/disc/VIDEO_TS/VTS_01_0.IFO 1 1 --stream movie.vob, then ffprobe -v error -show_entries format=duration -of csv=p=0 movie.vob"
  sleep 300 &
  echo $! >helper.pid
  (trap '' TERM; exec sleep 300) &
  echo $! >stubborn.pid
  sleep 300
  exit 0
fi
sleep 0.3
Stage 2 "Video 1st pass"
for p in 10 50 90; do
  printf '\r[2/%d] Video 1st pass %d%% 0:%02d left' "$n" "$p" $((10 - p / 10))
  sleep 0.2
done
if [ "${STANDIN_MODE:-ok}" = fail ]; then
  echo "Video 1st pass failed: $(date +%T)" >>log.txt
  printf "project.sh: Video 1st pass failed: 'ffmpeg' ended with exit code 1; its messages are in video1.log\n" >&2
  exit 1
fi
Stage 3 "Video 2nd pass"
for p in 40 100; do
  printf '[3/%d] Video 2nd pass %d%%\n' "$n" "$p"
  sleep 0.2
done
if [ "${STANDIN_MODE:-ok}" = correct ]; then
  echo "Video 2nd pass: segment 3 at 880000 bit/s: 52000 bytes"
  echo "Video 2nd pass at 910000 bit/s: 690000 bytes, 94.01% of the medium"
  printf '\n[3/4] Video 2nd pass (correction 1)\n'
  for p in 20 60 100; do
    printf '[3/4] Video 2nd pass %d%%\n' "$p"
    sleep 0.2
  done
fi
head -c 700000 /dev/zero >movie.avi
head -c 1000 /dev/zero >0x80.mp3
if [ $n = 4 ]; then Stage 4 End; else printf '\n[3/3] End\n'; fi
printf '%12s bytes  %s\n' 700000 movie.avi 1000 0x80.mp3
echo "Total 701000 bytes: 95.50% of the medium of 734003 bytes (0.7 MB)"
echo "It cannot fill more: the title at its best quality is smaller than the medium."
