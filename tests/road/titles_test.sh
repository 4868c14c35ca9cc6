#!/usr/bin/env bash
# Several titles of the authored disc (r) on one medium: the installed ravlo3 plans chains 1 and
# 2, project.sh makes a file of each with its tracks and chapters, and the files together fill
# the medium (or each its own); the two chains are alike pictures, so they get alike bitrates.
# Usage: titles_test.sh BUILD_DIR DISCS_DIR
set -euo pipefail

source "$(dirname "$0")/road_lib.sh"
RoadStart titles "$@"
ifo="$discs/disc_r/VIDEO_TS/VTS_01_0.IFO"
Streams() {
  ffprobe -v error -show_entries stream=codec_type,codec_name:stream_tags=language -of csv=p=0 "$1" |
    awk -F, '{ printf "%s:%s:%s ", $2, $1, ($3 == "" ? "-" : $3) }'
}
Chapters() { ffprobe -v error -show_entries chapter=start_time -of csv=p=0 "$1" | awk '{ printf "%.0f ", $1 }'; }
Length() { ffprobe -v error -show_entries format=duration -of csv=p=0 "$1"; }
Title() { ffprobe -v error -show_entries format_tags=title -of default=nw=1:nk=1 "$1"; }
VideoRate() { ffprobe -v error -select_streams v -show_entries stream_tags=BPS -of csv=p=0 "$1"; }
Near() { awk -v a="$1" -v b="$2" -v d="$3" 'BEGIN { exit !(a - b <= d && b - a <= d) }'; }
InWindow() { awk -v t="$1" -v m="$2" 'BEGIN { f = 100 * t / (m * 1048576); exit !(f >= 99.5 && f <= 100) }'; }
Bytes() { wc -c <"$1" | tr -d ' '; }

# NAME OPTIONS...: saves and runs a plan of chains 1 and 2.
Plan() {
  local name=$1; shift
  local p="$work/$name"
  mkdir -p "$p"
  "$prefix/bin/ravlo3" --open "$ifo" "$@" --save "$p" >"$p.save.txt" 2>&1 || { cat "$p.save.txt" >&2; return 1; }
  local start=$SECONDS
  "$p/project.sh" >"$p.run.txt" 2>&1 || { cat "$p.run.txt" >&2; return 1; }
  echo "$name: project.sh took $((SECONDS - start)) s"
  Check "$name: a file of each title" test "$(cd "$p" && ls | tr '\n' ' ')" = \
    "disc_r_1.mkv disc_r_2.mkv log.txt movie.sh mux.sh project.sh "
}

Plan shared --titles 1-2 --audio 0x81,0x80 --subtitles 0x21,0x20 --size 9 --delete-temporary
one="$work/shared/disc_r_1.mkv" two="$work/shared/disc_r_2.mkv"
streams="video:h264:- audio:mp3:ger audio:mp3:eng subtitle:dvd_subtitle:dut subtitle:dvd_subtitle:eng "
for f in "$one" "$two"; do
  Check "shared: $(basename "$f") has the chosen streams with their languages" test "$(Streams "$f")" = "$streams"
  Check "... decodes without an error" test -z "$(ffmpeg -nostdin -v error -i "$f" -f null - 2>&1)"
done
Check "shared: title 1 has its chapters ($(Chapters "$one")) and length ($(Length "$one"))" \
  test "$(Chapters "$one")" = "0 16 32 " -a "$(Length "$one" | cut -d. -f1)" = 48
Check "shared: title 2 has its chapter ($(Chapters "$two")) and length ($(Length "$two"))" \
  test "$(Chapters "$two")" = "0 " -a "$(Length "$two" | cut -d. -f1)" = 12
Check "shared: the file of title 2 is called so ($(Title "$two"))" test "$(Title "$two")" = "disc_r, title 2"
total=$(($(Bytes "$one") + $(Bytes "$two")))
Check "shared: together they fill [99.5%, 100%] of 9 MB ($total bytes)" InWindow "$total" 9
Check "shared: alike pictures, alike bitrates ($(VideoRate "$one") and $(VideoRate "$two") bit/s)" \
  Near "$(awk -v a="$(VideoRate "$one")" -v b="$(VideoRate "$two")" 'BEGIN { print a / b }')" 1 0.12
Check "shared: the temporary folders are gone" test ! -e "$work/shared/title1" -a ! -e "$work/shared/title2"

Plan each --titles 1,2 --audio 0x80 --quality 64 --size-each 2
for f in "$work/each/disc_r_1.mkv" "$work/each/disc_r_2.mkv"; do
  Check "each: $(basename "$f") fills [99.5%, 100%] of its 2 MB ($(Bytes "$f") bytes)" InWindow "$(Bytes "$f")" 2
done

# Refusals name the reason, and nothing is saved.
Refused() {  # NAME CODE EXPECTED OPTIONS...: a plan refused (1), or a value no option takes (2)
  local name=$1 want=$2 expected=$3; shift 3
  set +e
  "$prefix/bin/ravlo3" --open "$ifo" "$@" --save "$work/$name" >"$work/$name.out" 2>&1
  local code=$?
  set -e
  Check "$name: exit code $want ($code)" test "$code" = "$want"
  Check "... says: $expected" grep -qF -- "$expected" "$work/$name.out"
  Check "... nothing saved" test ! -e "$work/$name/project.sh"
}
Refused xvid 1 "Several titles go each into a file of its own" --titles 1,2 --video xvid --size 9
Refused episodes 1 "--episodes: ifoscan: $ifo: title set 1 has no episodes: no chain lasts 5 to 90 minutes" \
  --episodes --size 9
Refused no_chain 2 "--titles: the title set has no chain 3 (it has 2)" --titles 2-3 --size 9

[[ $failures -eq 0 ]] || { echo "$failures check(s) failed" >&2; exit 1; }
echo "all checks passed"
