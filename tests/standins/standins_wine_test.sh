#!/usr/bin/env bash
# The stand-in tools under Wine, started by Wine's own cmd, regedit and rundll32 from a batch
# built like project.bat, together with brimmer.exe: each tool writes what the next step needs.
# Usage: standins_wine_test.sh STANDIN_TREE   (WINEPREFIX and RAVLO_BUILD come from CTest)
set -uo pipefail
source "$(dirname "$0")/../../scripts/wine-env.sh"  # the Wine this build needs
tree="$1"
brimmer="$RAVLO_BUILD/src/brimmer/brimmer.exe"
work="$RAVLO_BUILD/tests/standins/wine-road"
disc="$work/My Disc/VIDEO_TS"  # blanks in both paths, as users have them
p="$work/Project One"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
size() { stat -c %s "$1" 2>/dev/null || echo missing; }
crlf() { sed 's/$/\r/'; }

rm -rf "$work" && mkdir -p "$disc" "$p"
head -c 4096 /dev/zero > "$disc/VTS_01_0.IFO"
head -c 65536 /dev/zero > "$disc/VTS_01_1.VOB"
discw='Z:'"${disc//\//\\}"
# The project folder as the save step leaves it: every tool copied flat beside the files.
find "$tree" -type f -exec cp {} "$p" \;
cp "$brimmer" "$p"
printf '%s\\VTS_01_1.VOB\r\n\r\n' "$discw" > "$p/project.lst"
printf '%s\\VTS_01_0.IFO\r\nmovie\r\n1\r\n1\r\n0 2 \r\nCLOSE\r\n\r\n' "$discw" > "$p/subparam"
printf 'LoadPlugin("DGDecode.dll")\r\nmpeg2source("project.d2v")\r\n\r\n' > "$p/project.avs"
for pass in 1 2; do
  printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\GNU\\XviD]\n"mode"=dword:0000000%s\n' "$pass" \
    | crlf > "$p/${pass}$([ $pass = 1 ] && echo st || echo nd).reg"
done
crlf > "$p/project.bat" <<BAT
@ECHO OFF
ECHO Analysis: %time% > log.txt
START /w DGIndex.exe -AIF=[$discw\\VTS_01_1.VOB] -OM=0 -OF=[project] -exit
ECHO Subtitles: %time% >> log.txt
START /w rundll32 vobsub.dll,Configure subparam
START /w rar32.exe a -ep movie.rar movie.sub
ECHO Audio: %time% >> log.txt
START /w vStrip.exe @project.lst -i"$discw\\VTS_01_0.IFO" -p0 -j1 -!do0x80o.ac3 0xBD 0x80
START /w vStrip.exe @project.lst -i"$discw\\VTS_01_0.IFO" -p0 -j1 -!do0x81o.ac3 0xBD 0x81
START /w BeSweet.exe -core( -input 0x80o.ac3 -output 0x80.mp3 -logfile 0x80.log -substream 0x80 ) -ota( -g max -d auto ) -azid( -L -3db -c normal -s stereo ) -lame( -b 128 )
START /w BeSweet.exe -core( -input 0x81o.ac3 -output 0x81.ac3 -logfile 0x81.log -substream 0x81 ) -ota( -g max -d auto ) -azid( -L -3db -c normal -s stereo ) -ac3enc( -b 192 )
DEL 0x80o.ac3
DEL 0x81o.ac3
ECHO Video 1st pass: %time% >> log.txt
START /w regedit /s 1st.reg
START /w avs2avi.exe project.avs movie.avi -w -c XVID
ECHO Video 2nd pass: %time% >> log.txt
START /w brimmer.exe 2
START /w regedit /s 2nd.reg
START /w avs2avi.exe project.avs movie.avi -w -c XVID
ECHO Set author: %time% >> log.txt
START /w gsar.exe -s"DSPguru.doom9.net" -r"ravlo.example.net" -o *.mp3 *.ogg *.ac3
ECHO End: %time% >> log.txt
BAT

(cd "$p" && timeout 300 "$RAVLO_WINE" cmd /c project.bat) || fail "project.bat: exit code $?"

# Each tool ran once per batch line, in order, with the batch's arguments.
expected_calls="DGIndex.exe vobsub.dll,Configure rar32.exe vStrip.exe vStrip.exe BeSweet.exe BeSweet.exe avs2avi.exe avs2avi.exe gsar.exe"
calls="$(cut -d' ' -f1 "$p/standin-calls.txt" 2>/dev/null | tr -d '\r' | tr '\n' ' ' | sed 's/ $//')"
[ "$calls" = "$expected_calls" ] || fail "calls were: $calls"

grep -q 'VTS_01_1.VOB' "$p/project.d2v" 2>/dev/null || fail "project.d2v missing or wrong"
[ "$(size "$p/movie.sub")" = $((2 * 40 * 2048)) ] || fail "movie.sub is $(size "$p/movie.sub") bytes"
grep -q '^id: --, index: 2' "$p/movie.idx" 2>/dev/null || fail "movie.idx lacks stream 2"
[ -f "$p/movie.rar" ] || fail "no movie.rar"
[ ! -e "$p/0x80o.ac3" ] || fail "demultiplexed stream not deleted"
[ "$(size "$p/0x80.mp3")" = $((256 * 1024 / 4)) ] || fail "0x80.mp3 is $(size "$p/0x80.mp3") bytes"
[ "$(size "$p/0x81.ac3")" = $((272 * 1024 / 4)) ] || fail "0x81.ac3 is $(size "$p/0x81.ac3") bytes"
grep -q 'Done' "$p/0x80.log" 2>/dev/null || fail "0x80.log missing"
for audio in 0x80.mp3 0x81.ac3; do
  [ "$(grep -c -a 'DSPguru.doom9.net' "$p/$audio")" = 0 ] || fail "$audio still signed"
  [ "$(grep -o -a 'ravlo.example.net' "$p/$audio" | wc -l)" = 2 ] || fail "$audio not re-signed"
done

# The second pass fills the 2 MB medium: video + audio + subtitles within half a kilobyte.
desired_hex="$(tr -d '\r' < "$p/2nd.reg" | sed -n 's/^"desired_size"=dword://p')"
[ -n "$desired_hex" ] || fail "2nd.reg has no desired_size line"
avi="$(size "$p/movie.avi")"
[ "$avi" = $((16#${desired_hex:-0} * 1024)) ] || fail "movie.avi is $avi bytes, desired_size $desired_hex"
total=$((avi + $(size "$p/0x80.mp3") + $(size "$p/0x81.ac3") + $(size "$p/movie.rar") + $(size "$p/movie.idx")))
[ $((total - 2 * 1024 * 1024)) -le 512 ] && [ $((2 * 1024 * 1024 - total)) -le 512 ] \
  || fail "result is $total bytes for a 2 MB medium"

[ "$failures" -eq 0 ] && echo "stand-ins under Wine: all steps produced their files ($total bytes in all)"
exit $((failures > 0))
