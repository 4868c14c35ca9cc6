#!/usr/bin/env bash
# Checks ifoscan's report of each sample disc against independent readers: lsdvd (libdvdread)
# for standard, aspect ratio, chain lengths and chapters, audio formats, channels, rates and
# languages, sub-picture languages; ffprobe for the stream ids really present in the VOB.
# Also applies the planner's line rules to the report.
# Usage: check_discs.sh IFOSCAN DISCS_DIR
set -euo pipefail
ifoscan=$1 discs=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
Fail() { echo "FAIL [$disc]: $*" >&2; failures=$((failures + 1)); }

# The English names the report must give to the codes the sample discs use.
NameOf() {
  case $1 in en) echo English ;; fr) echo French ;; de) echo German ;; nl) echo Dutch ;; *) echo Unknown ;; esac
}

for disc in disc_a disc_b; do
  dir="$discs/$disc/VIDEO_TS"
  report="$work/$disc.txt"
  "$ifoscan" "$dir/VTS_01_0.IFO" "$report" || { Fail "ifoscan failed"; continue; }
  tr -d '\r' <"$report" >"$report.lf"
  lsdvd -x "$discs/$disc" 2>/dev/null >"$work/$disc.lsdvd"

  # Video line against the first title's video attributes.
  read -r std aspect width height < <(sed -n 's/.*Format: \([A-Z]*\), Aspect ratio: \([0-9]*\)\/\([0-9]*\), Width: \([0-9]*\), Height: \([0-9]*\).*/\1 \2:\3 \4 \5/p' "$work/$disc.lsdvd" | head -1)
  [[ "$(tail -1 "$report.lf")" == "  Video: $std $aspect ${width}x$height" ]] ||
    Fail "video line '$(tail -1 "$report.lf")', lsdvd says $std $aspect ${width}x$height"

  # One title per chain on these discs, in the same order.
  expected=$(sed -n 's/^Title: \([0-9]*\), Length: \([0-9:]*\)\.[0-9]* Chapters: 0*\([0-9]*\),.*/  \1. Length: \2, \3 chapters/p' "$work/$disc.lsdvd" | sed 's/^  0*/  /')
  actual=$(grep 'Length:' "$report.lf" || true)
  [[ "$expected" == "$actual" ]] || Fail "chains: expected
$expected
got
$actual"

  # Audio and sub-picture streams of the first title, ids aside.
  expected=$(awk '/^Title: 02/{exit} /^\tAudio: /' "$work/$disc.lsdvd" |
    sed -n 's/.*Language: \([a-z]*\) - [^,]*, Format: \([a-z0-9]*\) *, Frequency: \([0-9]*\)000, .*Channels: \([0-9]*\),.*/\1 \2 \4 \3/p' |
    while read -r lang fmt ch rate; do
      printf '%s (%s, %sch, %skHz)\n' "$(NameOf "$lang")" "$(tr a-z A-Z <<<"$fmt")" "$ch" "$rate"
    done)
  actual=$(sed -n 's/^  0x[0-9A-F][0-9A-F]\. \(.* (\(AC3\|LPCM\|DTS\|MPEG\).*)\) \[[0-9]*\]$/\1/p' "$report.lf")
  [[ "$expected" == "$actual" ]] || Fail "audio: expected
$expected
got
$actual"
  expected=$(awk '/^Title: 02/{exit} /^\tSubtitle: /' "$work/$disc.lsdvd" |
    sed -n 's/.*Language: \([a-z]*\) - .*/\1/p' | while read -r lang; do echo "$(NameOf "$lang") (Subtitle)"; done)
  actual=$(sed -n 's/^  0x[23][0-9A-F]\. \(.* (Subtitle)\) \[[0-9]*\]$/\1/p' "$report.lf")
  [[ "$expected" == "$actual" ]] || Fail "sub-pictures: expected '$expected' got '$actual'"

  # Stream ids: each reported id with its format must be a stream of the VOB, and back.
  ffprobe -hide_banner "$dir/VTS_01_1.VOB" 2>&1 |
    sed -n 's/.*Stream #[0-9]*:[0-9]*\[0x\([0-9a-f]*\)\]: \(Audio\|Subtitle\): \([a-z0-9_]*\).*/\1 \3/p' |
    sed 's/pcm_dvd/LPCM/; s/ac3/AC3/; s/dvd_subtitle/Subtitle/' | awk '{print toupper($1), $2}' | sort >"$work/$disc.vob"
  sed -n 's/^  0x\([0-9A-F]*\)\. .* (\([A-Za-z0-9]*\).*/\1 \2/p' "$report.lf" | sort >"$work/$disc.ids"
  diff "$work/$disc.vob" "$work/$disc.ids" >&2 || Fail "stream ids differ from the VOB (left VOB, right report)"

  # The planner's rules: each line does only what it is meant to do; the video line decides.
  audio=$(grep -c 'AC3\|LPCM' "$report.lf" || true)
  subs=$(grep -c '0x2\|0x3' "$report.lf" || true)
  [[ $audio == $(grep -c $'^\tAudio: ' <(awk '/^Title: 02/{exit} 1' "$work/$disc.lsdvd")) ]] || Fail "$audio audio lines"
  [[ $subs == $(grep -c $'^\tSubtitle: ' <(awk '/^Title: 02/{exit} 1' "$work/$disc.lsdvd")) ]] || Fail "$subs subtitle lines"
  last=$(grep 'PAL\|NTSC\|16:9\|4:3' "$report.lf" | tail -1)
  [[ $last == "  Video: "* ]] || Fail "the last line that sets the format is '$last'"
  grep -v '^  ' "$report.lf" >&2 && Fail "lines without two leading blanks"
  [[ $(grep -c $'\r$' "$report") == $(wc -l <"$report") ]] || Fail "not every line ends with CR LF"
done

# Files that are no title set IFO: no report, a reason, a non-zero exit.
disc=errors
for bad in vmg truncated missing; do
  case $bad in
    vmg) input="$discs/disc_a/VIDEO_TS/VIDEO_TS.IFO" ;;
    truncated) input="$work/cut.IFO"; head -c 2100 "$discs/disc_a/VIDEO_TS/VTS_01_0.IFO" >"$input" ;;
    missing) input="$work/none.IFO" ;;
  esac
  rm -f "$work/bad.txt"
  if "$ifoscan" "$input" "$work/bad.txt" 2>"$work/bad.err"; then Fail "$bad: exit code 0"; fi
  [[ -e "$work/bad.txt" ]] && Fail "$bad: a report was written"
  [[ -s "$work/bad.err" ]] || Fail "$bad: no reason on stderr"
done

if ((failures)); then exit 1; fi
echo "sample discs: reports agree with lsdvd and ffprobe"
