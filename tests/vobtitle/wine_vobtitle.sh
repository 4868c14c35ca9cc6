#!/usr/bin/env bash
# Runs vobtitle.exe under Wine on sample disc (c) with Windows paths in folders with blanks:
# the stream of chain 1 (7 s, the clock restarting between its VOBs), the same stream on
# standard output byte for byte, the VobSub pair of both streams, and a refused chain.
# Usage: wine_vobtitle.sh VOBTITLE_EXE DISCS_DIR
set -euo pipefail
source "$(dirname "$0")/../../scripts/wine-env.sh"  # the Wine this build needs
exe=$1 discs=$2
root=$(mktemp -d "${RAVLO_BUILD:-/tmp}/vobtitle wine.XXXXXX")
trap 'rm -rf "$root"' EXIT
mkdir -p "$root/Ravlo 3/misc" "$root/My Disc/VIDEO_TS" "$root/My Movie"
cp "$exe" "$root/Ravlo 3/misc/vobtitle.exe"
cp "$discs/disc_c/VIDEO_TS/VTS_01_0.IFO" "$discs/disc_c/VIDEO_TS/VTS_01_1.VOB" "$root/My Disc/VIDEO_TS/"
WinPath() { "$RAVLO_WINE" winepath -w "$1" 2>/dev/null; }
vobtitle=$(WinPath "$root/Ravlo 3/misc/vobtitle.exe")
ifo=$(WinPath "$root/My Disc/VIDEO_TS/VTS_01_0.IFO")
movie=$(WinPath "$root/My Movie")
Fail() { echo "FAIL: $*" >&2; exit 1; }

"$RAVLO_WINE" "$vobtitle" "$ifo" 1 1 --stream "$movie\\title.mpg" || Fail "--stream: exit code $?"
frames=$(ffprobe -v error -count_frames -select_streams v:0 -show_entries stream=nb_read_frames -of csv=p=0 "$root/My Movie/title.mpg" | tr -d ,)
[[ $frames == 175 ]] || Fail "chain 1 has $frames frames, not 175"
duration=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$root/My Movie/title.mpg")
awk -v d="$duration" 'BEGIN { exit !(d > 6.92 && d < 7.08) }' || Fail "chain 1 lasts $duration s, not 7"
"$RAVLO_WINE" "$vobtitle" "$ifo" 1 1 --stream - >"$root/piped.mpg" || Fail "--stream -: exit code $?"
cmp "$root/piped.mpg" "$root/My Movie/title.mpg" || Fail "standard output differs from the file"

"$RAVLO_WINE" "$vobtitle" "$ifo" 1 1 --vobsub "$movie\\movie" 0x21 0x20 || Fail "--vobsub: exit code $?"
expected=$'id: de, index: 0\ntimestamp: 00:00:01:200\ntimestamp: 00:00:05:600\nid: en, index: 1\ntimestamp: 00:00:00:500\ntimestamp: 00:00:02:200\ntimestamp: 00:00:04:000'
actual=$(tr -d '\r' <"$root/My Movie/movie.idx" | sed -n 's/^\(id: .*\)$/\1/p; s/^\(timestamp: [0-9:]*\),.*/\1/p')
[[ $actual == "$expected" ]] || Fail "index differs:
$actual"
pictures=$(ffprobe -v error -show_frames -show_entries subtitle=num_rects -of csv=p=0 "$root/My Movie/movie.idx" | grep -c '^1$' || true)
[[ $pictures == 5 ]] || Fail "$pictures decodable pictures, not 5"

if "$RAVLO_WINE" "$vobtitle" "$ifo" 9 1 --stream "$movie\\nine.mpg" 2>"$root/err.txt"; then Fail "chain 9: exit code 0"; fi
grep -q "chain 9" "$root/err.txt" || Fail "chain 9: no reason: $(cat "$root/err.txt")"
[[ -z $(ls "$root/My Movie" | grep nine || true) ]] || Fail "chain 9 left a file"
echo "vobtitle.exe under Wine: stream, standard output and VobSub pair of disc (c) as expected"
