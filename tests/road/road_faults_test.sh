#!/usr/bin/env bash
# project.sh on the authored disc (r), chain 2 (12 s), where a run can go wrong:
#   - a project folder named "-x", started by that relative name;
#   - a second plan saved over the results of a first: refused while the first plan's other
#     files lie there; once they are moved away, only the plan's own files are measured;
#   - an author text with commas goes through the Set author stage;
#   - INT to the script's process group (a terminal's Ctrl-C), TERM to the script alone
#     (timeout, a desktop), TERM or KILL to the job's own shell and KILL to videopass in the
#     second pass: no process of the job stays, no result either;
#   - a second start of the project while it runs is refused and leaves the run alone.
# Usage: road_faults_test.sh BUILD_DIR DISCS_DIR
set -euo pipefail

source "$(dirname "$0")/road_lib.sh"
RoadStart road_faults "$@"
ifo="$discs/disc_r/VIDEO_TS/VTS_01_0.IFO"
Fill() {  # Fill FOLDER MB FILE...: the percentage of the medium the named files take
  local folder=$1 mb=$2 total; shift 2
  total=$(cd "$folder" && cat -- "$@" | wc -c)
  awk -v t="$total" -v m="$mb" 'BEGIN { printf "%.3f", 100 * t / (m * 1048576) }'
}
InWindow() { awk -v f="$1" 'BEGIN { exit !(f >= 99 && f <= 100) }'; }
Save() {  # Save LOGNAME OPTIONS...: a plan of chain 2 saved into the folder "-x"
  local name=$1; shift
  "$prefix/bin/ravlo3" --open "$ifo" --chain 2 "$@" --format mp3 --quality 128 --size 2 --video xvid --container avi \
    --save "$work/-x" >"$work/$name.txt"
}
Results() { (cd "$work/-x" && ls -- *.mp3 movie.avi* *.part 2>/dev/null | tr '\n' ' '); }

# --- the first plan, then a second one with fewer streams in the same folder ---
Save save1 --audio 0x80,0x81
(cd "$work" && -x/project.sh) >"$work/run1.txt" 2>&1 || { cat "$work/run1.txt" >&2; exit 1; }
Check "the first plan's results are made" test "$(Results)" = "0x80.mp3 0x81.mp3 movie.avi "
author='a,b,c,d,e,f,g,h,i'
# The save refuses while the first plan's other stream lies there; once the user moved it
# away, the second plan saves.
before=$(cksum <"$work/-x/project.sh")
Check "a save beside another plan's results is refused with exit 1" \
  test "$(Save save2 --audio 0x80 --author "$author" 2>"$work/save2.err"; echo $?)" = 1
Check "the refusal names the other plan's file" grep -q '^  0x81.mp3$' "$work/save2.err"
Check "the refused save left project.sh as it was" test "$(cksum <"$work/-x/project.sh")" = "$before"
mv "$work/-x/0x81.mp3" "$work/0x81.mp3"
Save save2 --audio 0x80 --author "$author"
if (cd "$work" && -x/project.sh) >"$work/run2.txt" 2>&1; then
  echo "ok: the second plan runs"
else
  cat "$work/run2.txt" >&2; echo "FAILED: the second plan runs" >&2; failures=$((failures + 1))
fi
Check "the second plan's results alone are beside the video" test "$(Results)" = "0x80.mp3 movie.avi "
fill=$(Fill "$work/-x" 2 movie.avi 0x80.mp3)
Check "its own files fill $fill% of the 2 MB medium" InWindow "$fill"
Check "the end counts the same files" grep -q "^Total $(cat "$work/-x/movie.avi" "$work/-x/0x80.mp3" | wc -c) bytes" "$work/run2.txt"
Check "0x80.mp3 carries the author with its commas" test \
  "$(ffprobe -v error -show_entries format_tags=encoded_by -of default=nw=1:nk=1 "$work/-x/0x80.mp3")" = "$author"

# --- interrupted in the second pass; a second start meanwhile ---
# Interrupt SIGNAL TARGET EXIT WHAT: TARGET "-" is the script's process group, "" the script,
# "job" the job's own shell, "videopass" the video helper; WHAT the stage's last word in log.txt.
Interrupt() {
  local signal=$1 target=$2 code=$3 what=$4 script job session before after status pid
  rm -f "$work/-x/log.txt"
  set -m
  (cd "$work" && exec -- -x/project.sh) >"$work/run-$signal$target.txt" 2>&1 &
  script=$!
  set +m
  for _ in $(seq 600); do grep -q '^Video 2nd pass:' "$work/-x/log.txt" 2>/dev/null && break; sleep 0.05; done
  job=$(pgrep -P "$script" | head -n 1 || true)
  session=$(ps -o sid= -p "${job:-0}" | tr -d ' ' || true)
  # The stage is logged before the pass has started its encoder: on a busy machine, wait for it.
  for _ in $(seq 100); do
    before=$(pgrep -s "${session:-0}" -x ffmpeg | wc -l || true)
    [ "$before" -ge 1 ] && break
    sleep 0.02
  done
  if [ "$target" = - ]; then
    # Meanwhile a second start of the same project is refused and leaves the run alone.
    status=0
    (cd "$work" && -x/project.sh) >"$work/second.txt" 2>&1 || status=$?
    Check "a second start while the job runs is refused ($status)" test "$status" = 1
    Check "the refusal says another run is going" grep -q 'another run of this project is running' "$work/second.txt"
    Check "the running job's log is untouched" grep -q '^Video 2nd pass:' "$work/-x/log.txt"
  fi
  case $target in
    job) pid=$job ;;
    videopass) pid=$(pgrep -s "${session:-0}" -x videopass | head -n 1 || true) ;;
    *) pid=$target$script ;;
  esac
  kill -"$signal" "${pid:-0}" || true
  status=0
  wait "$script" || status=$?
  after=$(pgrep -s "${session:-0}" | wc -l || true)
  Check "$signal to ${target:-the script} in the second pass: ffmpeg was running ($before)" test "$before" -ge 1
  Check "$signal ${target}: project.sh ends with $code ($status)" test "$status" = "$code"
  Check "$signal ${target}: no process of the job is left ($after)" test "$after" = 0
  Check "$signal ${target}: log.txt says where it stopped" grep -q "^Video 2nd pass $what: " "$work/-x/log.txt"
  Check "$signal ${target}: no result is left ($(Results))" test -z "$(Results)"
}
Interrupt INT - 130 interrupted
Interrupt TERM '' 143 interrupted
Interrupt TERM job 143 interrupted
Interrupt KILL job 137 interrupted
Interrupt KILL videopass 1 failed
Check "a killed videopass is named as the reason" \
  grep -q '^project.sh: Video 2nd pass failed: videopass was ended by signal KILL' "$work/run-KILLvideopass.txt"

[[ $failures -eq 0 ]] || { echo "$failures check(s) failed" >&2; exit 1; }
echo "all checks passed"
