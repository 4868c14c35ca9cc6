#!/usr/bin/env bash
# Checks vobtitle on the sample discs with independent readers: lsdvd (libdvdread) for each
# chain's length and frame rate, ffprobe for the stream's duration and frames, ffprobe/ffmpeg
# for the VobSub pair (streams, languages, picture times against the authored events,
# decodable pictures), mkvmerge for recognising it. Then a title set whose cells cross from
# one VOB file into the next, and every failure: message, non-zero exit, no output.
# Usage: check_title.sh VOBTITLE DISCS_DIR
set -euo pipefail
vobtitle=$1 discs=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
Fail() { echo "FAIL [$what]: $*" >&2; failures=$((failures + 1)); }

# --- the stream of each chain: length and frames as lsdvd has the chain ---
for disc in disc_a disc_c; do
  ifo="$discs/$disc/VIDEO_TS/VTS_01_0.IFO"
  lsdvd -x "$discs/$disc" 2>/dev/null >"$work/lsdvd"
  while read -r chain length fps; do
    what="$disc chain $chain"
    out="$work/$disc.$chain.mpg"
    "$vobtitle" "$ifo" "$chain" 1 --stream "$out" || { Fail "exit code $?"; continue; }
    duration=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$out")
    frames=$(ffprobe -v error -count_frames -select_streams v:0 -show_entries stream=nb_read_frames -of csv=p=0 "$out" | tr -d ,)
    expected=$(awk -v l="$length" -v f="$fps" 'BEGIN { printf "%d", l * f + 0.5 }')
    [[ $frames == "$expected" ]] || Fail "$frames frames, the chain has $expected ($length s at $fps)"
    awk -v d="$duration" -v l="$length" -v f="$fps" 'BEGIN { exit !(d - l < 2 / f && l - d < 2 / f) }' ||
      Fail "duration $duration s, the chain lasts $length s"
    "$vobtitle" "$ifo" "$chain" 1 --stream - | cmp -s - "$out" || Fail "--stream - differs from --stream FILE"
  done < <(sed -n 's/^Title: 0*\([0-9]*\), Length: \([0-9:.]*\) .*/\1 \2/p' "$work/lsdvd" |
           while read -r t l; do
             fps=$(awk -v t="$t" '$1 == "Title:" { n = $2 + 0 } n == t && /FPS:/ { sub(",", "", $6); print $6; exit }' "$work/lsdvd")
             echo "$t $(awk -F: -v l="$l" 'BEGIN { split(l, p, ":"); print p[1] * 3600 + p[2] * 60 + p[3] }') $fps"
           done)
done
[[ -s "$work/disc_c.1.mpg" && -s "$work/disc_c.2.mpg" ]] || { what=streams; Fail "lsdvd listed no chains"; }

# --- the VobSub pair of each chain of disc (c), streams chosen in reverse order ---
ifo="$discs/disc_c/VIDEO_TS/VTS_01_0.IFO"
for chain in 1 2; do
  what="disc_c chain $chain subtitles"
  stem="$work/subs$chain"
  "$vobtitle" "$ifo" "$chain" 1 --vobsub "$stem" 0x21 0x20 || { Fail "exit code $?"; continue; }
  langs=$(ffprobe -v error -show_entries stream=index:stream_tags=language -of csv=p=0 "$stem.idx" | tr '\n' ' ')
  [[ $langs == "0,de 1,en " ]] || Fail "streams '$langs', expected German then English"
  for index in 0 1; do
    id=$([[ $index == 0 ]] && echo 0x21 || echo 0x20)
    expected=$(awk -v c="$chain" -v i="$id" '$1 == c && $2 == i { $1 = $2 = ""; print }' "$discs/disc_c/events.txt")
    actual=$(ffprobe -v error -select_streams "$index" -show_frames -show_entries subtitle=pts_time,num_rects -of csv=p=0 "$stem.idx")
    # pts_time,num_rects a line; every picture must decode to one picture rectangle
    grep -qv ',1$' <<<"$actual" && Fail "stream $index has pictures that do not decode: $actual"
    times=$(cut -d, -f1 <<<"$actual" | tr '\n' ' ')
    awk -v want="$expected" -v got="$times" 'BEGIN {
          n = split(want, w, " "); m = split(got, g, " "); if (n != m) exit 1
          for (i = 1; i <= n; i++) if (g[i] - w[i] > 0.08 || w[i] - g[i] > 0.08) exit 1 }' ||
      Fail "stream $index ($id): pictures at [$times], authored at [$expected]"
  done
  tracks=$(mkvmerge -i "$stem.idx" | grep -c 'subtitles (VobSub)' || true)
  [[ $tracks == 2 ]] || Fail "mkvmerge sees $tracks VobSub tracks: $(mkvmerge -i "$stem.idx")"
done

# A stream the disc gives no language: "--" in the index, which mkvmerge takes as undetermined.
what="no language"
mkdir "$work/nolang"
cp "$ifo" "$work/nolang/"
ln -s "$discs/disc_c/VIDEO_TS/VTS_01_1.VOB" "$work/nolang/VTS_01_1.VOB"
printf '\000' | dd of="$work/nolang/VTS_01_0.IFO" bs=1 seek=$((0x256)) conv=notrunc status=none  # English: no code
"$vobtitle" "$work/nolang/VTS_01_0.IFO" 2 1 --vobsub "$work/nolang/subs" 0x20 0x21 || Fail "exit code $?"
grep -q '^id: --, index: 0' "$work/nolang/subs.idx" || Fail "first track: $(grep '^id:' "$work/nolang/subs.idx")"
mkvmerge -q -o "$work/nolang/subs.mkv" "$work/nolang/subs.idx" || Fail "mkvmerge cannot mux it"
langs=$(mkvmerge -J "$work/nolang/subs.mkv" | sed -n 's/.*"language": "\([a-z]*\)".*/\1/p' | tr '\n' ' ')
[[ $langs == "und ger " ]] || Fail "mkvmerge languages '$langs'"

# --- cells that cross from one VOB file into the next read the same ---
what="split VOB"
mkdir "$work/split"
cp "$ifo" "$work/split/"
head -c $((300 * 2048)) "$discs/disc_c/VIDEO_TS/VTS_01_1.VOB" >"$work/split/VTS_01_1.VOB"
tail -c +$((300 * 2048 + 1)) "$discs/disc_c/VIDEO_TS/VTS_01_1.VOB" >"$work/split/VTS_01_2.VOB"
for chain in 1 2; do
  "$vobtitle" "$work/split/VTS_01_0.IFO" "$chain" 1 --stream "$work/split/$chain.mpg" &&
    cmp -s "$work/split/$chain.mpg" "$work/disc_c.$chain.mpg" || Fail "chain $chain stream differs"
  "$vobtitle" "$work/split/VTS_01_0.IFO" "$chain" 1 --vobsub "$work/split/subs$chain" 0x21 0x20 &&
    cmp -s "$work/split/subs$chain.sub" "$work/subs$chain.sub" &&
    cmp -s "$work/split/subs$chain.idx" "$work/subs$chain.idx" || Fail "chain $chain VobSub pair differs"
done

# --- chapters as lsdvd lists them; samples that show the chain's picture where they start ---
for disc in disc_a disc_c disc_r; do
  [[ -d $discs/$disc ]] || continue
  lsdvd -c "$discs/$disc" 2>/dev/null >"$work/lsdvd"
  for chain in $(sed -n 's/^Title: 0*\([0-9]*\),.*/\1/p' "$work/lsdvd"); do
    what="$disc chain $chain chapters"
    # lsdvd gives each chapter's length: the starts are their running sums.
    expected=$(awk -v t="$chain" '$1 == "Title:" { n = $2 + 0; s = 0 } n == t && $1 == "Chapter:" {
                 printf "%d %.1f\n", $2, s; split($4, l, ":"); s += l[1] * 3600 + l[2] * 60 + l[3] }' "$work/lsdvd")
    actual=$("$vobtitle" "$discs/$disc/VIDEO_TS/VTS_01_0.IFO" "$chain" 1 --chapters | awk '{ printf "%d %.1f\n", $1, $2 }') ||
      Fail "exit code $?"
    [[ $actual == "$expected" ]] || Fail "chapters [$actual], lsdvd has [$expected]"
  done
done
width=$(ffprobe -v error -select_streams v:0 -show_entries stream=width,height -of csv=p=0 "$work/disc_c.1.mpg" | head -n 1 | cut -d, -f1,2)
for fraction in 0 0.5 1; do
  what="sample at $fraction"
  "$vobtitle" "$ifo" 1 1 --sample "$work/sample.mpg" "$fraction" || Fail "exit code $?"
  size=$(stat -c %s "$work/sample.mpg")
  full=$(stat -c %s "$work/disc_c.1.mpg")
  ((size == 1048576 || (size == full && full < 1048576))) || Fail "$size bytes, not a megabyte (the chain has $full)"
  ffmpeg -nostdin -v quiet -y -skip_frame nokey -i "$work/sample.mpg" -frames:v 1 "$work/sample.png" &&
    [[ $(ffprobe -v error -show_entries stream=width,height -of csv=p=0 "$work/sample.png" | cut -d, -f1,2) == "$width" ]] ||
    Fail "no picture of the chain's size ($width) decodes from it"
done
# The sample starts where it is asked to: the middle of a chain is not its start.
"$vobtitle" "$discs/disc_r/VIDEO_TS/VTS_01_0.IFO" 1 1 --sample "$work/start.mpg" 0 &&
  "$vobtitle" "$discs/disc_r/VIDEO_TS/VTS_01_0.IFO" 1 1 --sample "$work/middle.mpg" 0.5 &&
  ! cmp -s "$work/start.mpg" "$work/middle.mpg" || { what="sample places"; Fail "the start and the middle are the same"; }

# --- failures: a reason naming what, a non-zero exit, no output, an older file untouched ---
mkdir "$work/alone" "$work/short"
cp "$ifo" "$work/alone/"
cp "$ifo" "$work/short/"
head -c $((100 * 2048)) "$discs/disc_c/VIDEO_TS/VTS_01_1.VOB" >"$work/short/VTS_01_1.VOB"
Refused() {  # $1 what, $2 text the message must hold, $3.. arguments
  what=$1 local reason=$2; shift 2
  rm -f "$work/out".* "$work/out"
  echo old >"$work/out.mpg"
  if "$vobtitle" "$@" 2>"$work/err"; then Fail "exit code 0"; fi
  grep -qF -- "$reason" "$work/err" || Fail "message '$(cat "$work/err")' does not mention '$reason'"
  [[ $(cat "$work/out.mpg") == old ]] || Fail "the older output was touched"
  local left
  left=$(cd "$work" && ls out.* | grep -v '^out.mpg$' || true)
  [[ -z $left ]] || Fail "left behind: $left"
}
Refused "chain 3" "chain 3" "$ifo" 3 1 --stream "$work/out.mpg"
Refused "angle 2" "angle 2" "$ifo" 1 2 --stream "$work/out.mpg"
Refused "unknown stream" "0x25" "$ifo" 1 1 --vobsub "$work/out" 0x20 0x25
Refused "stream twice" "twice" "$ifo" 1 1 --vobsub "$work/out" 0x20 0x20
Refused "no VOB files" "VTS_01_1.VOB" "$work/alone/VTS_01_0.IFO" 1 1 --stream "$work/out.mpg"
Refused "short VOB" "VTS_01_2.VOB is missing" "$work/short/VTS_01_0.IFO" 2 1 --vobsub "$work/out" 0x20
Refused "unwritable output" "no such folder" "$ifo" 1 1 --stream "$work/no such folder/out.mpg"
Refused "video manager IFO" "not a title set" "$discs/disc_c/VIDEO_TS/VIDEO_TS.IFO" 1 1 --stream "$work/out.mpg"
Refused "bad usage" "usage" "$ifo" 1 1 --stream
Refused "sample past the end" "FRACTION '1.5'" "$ifo" 1 1 --sample "$work/out.mpg" 1.5
Refused "sample with no place" "--sample takes" "$ifo" 1 1 --sample "$work/out.mpg"
Refused "chapters of no chain" "chain 3" "$ifo" 3 1 --chapters

# A pipe that closes early is a failure too, never a success.
what="closed pipe"
set +o pipefail
status=$( ("$vobtitle" "$ifo" 1 1 --stream - 2>/dev/null; echo $? >"$work/status") | head -c 10 >/dev/null; cat "$work/status")
set -o pipefail
[[ $status != 0 ]] || Fail "exit code 0 when the reader went away"

if ((failures)); then exit 1; fi
echo "vobtitle: streams and chapters match lsdvd and ffprobe, samples decode, VobSub pairs read by ffmpeg and mkvmerge, failures clean"
