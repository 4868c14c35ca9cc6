#!/bin/sh
# Stands in for project.sh in the progress window's tests: the stages, refreshes and end
# lines as the real script prints them, in a second or two. STANDIN_MODE picks the run:
#   ok      three stages (headers only, terminal refreshes, line refreshes), results, fill
#   fail    fails in its second stage as project.sh's Fail reports it
#   hang    starts helpers (one ignoring TERM) and waits for ever, for Cancel
set -u
echo "Encoding - the stages and their times go to log.txt"
: >log.txt
Stage() { printf '\n[%d/3] %s\n' "$1" "$2"; echo "$2: $(date +%T)" >>log.txt; }

Stage 1 Analysis
if [ "${STANDIN_MODE:-ok}" = hang ]; then
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
  printf '\r[2/3] Video 1st pass %d%% 0:%02d left' "$p" $((10 - p / 10))
  sleep 0.2
done
if [ "${STANDIN_MODE:-ok}" = fail ]; then
  echo "Video 1st pass failed: $(date +%T)" >>log.txt
  printf "project.sh: Video 1st pass failed: 'ffmpeg' ended with exit code 1; its messages are in video1.log\n" >&2
  exit 1
fi
Stage 3 "Video 2nd pass"
for p in 40 100; do
  printf '[3/3] Video 2nd pass %d%%\n' "$p"
  sleep 0.2
done
head -c 700000 /dev/zero >movie.avi
head -c 1000 /dev/zero >0x80.mp3
printf '\n[3/3] End\n'
printf '%12s bytes  %s\n' 700000 movie.avi 1000 0x80.mp3
echo "Total 701000 bytes: 95.50% of the medium of 734003 bytes (0.7 MB)"
echo "It cannot fill more: the title at its best quality is smaller than the medium."
