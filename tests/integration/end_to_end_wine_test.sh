#!/usr/bin/env bash
# The whole road under Wine: the installed planner saves a project of sample disc (a) in
# scripted mode, the stand-in tools sit where the real ones would, and Wine's cmd runs
# project.bat in the project folder. Then the folder is checked as a user would find it.
#
#   converted: MP3, streams 0x80 and 0x81, both subtitle streams as VobSub, temporary files
#              and logs deleted (the defaults of the Options menu)
#   original:  0x80 (AC3) and 0xA0 (LPCM) kept as demultiplexed, one subtitle stream,
#              nothing deleted
#   odd:       as converted with one stream, from a disc folder named with & ^ % ( ) ! ; and
#              blanks
#
# Usage: end_to_end_wine_test.sh BUILD_DIR DISCS_DIR   (WINEPREFIX etc. come from CTest)
set -uo pipefail
source "$(dirname "$0")/../../scripts/wine-env.sh"  # the Wine this build needs
build=$1 discs=$2

failures=0
Fail() { echo "FAIL: $*" >&2; exit 1; }             # the road itself is broken: stop
Check() { echo "FAIL [$variant]: $*" >&2; failures=$((failures + 1)); }  # one finding

WinPath() { local p; p=$(realpath -m "$1"); echo "Z:${p//\//\\}"; }
Size() { stat -c %s "$1" 2>/dev/null || echo 0; }
Files() { (cd "$1" && find . -type f -printf '%P\n' | LC_ALL=C sort); }

MediaMB=699   # the default media size of the planner
Author=ravlo.example.net
Signature=DSPguru.doom9.net

ifo="$discs/disc_a/VIDEO_TS/VTS_01_0.IFO"
[[ -f $ifo ]] || Fail "sample disc (a) is missing in $discs"
standins="$build/standin-tools"
[[ -f $standins/vobsub.dll ]] || Fail "the stand-in tools are not built in $standins"

work="$build/tests/integration/end-to-end"
rm -rf "$work" && mkdir -p "$work" || Fail "cannot make $work"
app="$work/Ravlo3"

# --- The installed tree, with the stand-ins in the user's tools folder -------------------------
cmake --install "$build" --prefix "$app" >"$work/install.log" 2>&1 ||
  Fail "install: $(cat "$work/install.log")"
cp -r "$standins/." "$app/tools/" || Fail "cannot copy the stand-ins"
# vobsub.dll is no tools-folder tool: rundll32 finds it in the project folder.
mv "$app/tools/vobsub.dll" "$work/vobsub.dll"
# The tools folder check the planner starts when its marker is missing: the stand-in tree must
# satisfy it, which also means the planner will not start it during the runs below.
echo | "$RAVLO_WINE" cmd /c "$(WinPath "$app/tools/xt.bat")" >"$work/xt.txt" 2>&1
[[ -f $app/tools/xt.txt ]] || Fail "xt.bat finds the stand-in tree incomplete: $(cat "$work/xt.txt")"
"$RAVLO_WINE" reg add 'HKCU\Software\Ravlo3\Options' /v FirstRun /d Done /f >/dev/null 2>&1 ||
  Fail "could not mark the first run done"

# RunProject NAME PLANNER_ARGS...: saves a project into "$work/NAME project" and runs its batch.
# Sets proj and savedFiles (the folder's list right after the save).
RunProject() {
  local name=$1; shift
  proj="$work/$name project"   # a blank in the path, as users have them
  mkdir -p "$proj"
  (cd "$app" && "$RAVLO_WINE" ./Ravlo3.exe --open "$(WinPath "$ifo")" "$@" --save "$(WinPath "$proj")") \
    >"$work/$name.out" 2>"$work/$name.err" ||
    Fail "[$name] scripted save exited with $?: $(cat "$work/$name.out" "$work/$name.err")"
  tr -d '\r' <"$work/$name.out" | grep -q '^Project saved' ||
    Fail "[$name] no save confirmation: $(cat "$work/$name.out")"
  savedFiles=$(Files "$proj")
  cp "$work/vobsub.dll" "$proj/"
  # The codec key left by earlier runs in this prefix must not stand in for this batch's import.
  "$RAVLO_WINE" reg delete 'HKCU\Software\GNU\XviD' /f >/dev/null 2>&1
  # With "delete temporary files" on the batch deletes 2nd.reg at its end. A hard link outside
  # the folder keeps the file's inode, so the test still sees every byte brimmer appended; DEL
  # only removes the folder's name for it.
  ln "$proj/2nd.reg" "$work/$name.2nd.reg" || Fail "cannot link 2nd.reg"
  (cd "$proj" && timeout 300 "$RAVLO_WINE" cmd /c project.bat) >"$work/$name.batch.out" 2>&1 ||
    Check "project.bat ended with exit code $?"
}

# The steps' log lines, in the batch's order, each with its start time.
CheckLog() {
  local labels
  labels=$(tr -d '\r' <"$proj/log.txt" 2>/dev/null | sed 's/: .*//' | paste -sd,)
  [[ $labels == "Analysis,Subtitles,Audio,Video 1st pass,Video 2nd pass,Set author,End" ]] ||
    Check "log.txt lines are: $labels"
  tr -d '\r' <"$proj/log.txt" 2>/dev/null | grep -vq '^[A-Za-z0-9 ]*: .*[0-9]' &&
    Check "log.txt has a line without a time: $(cat "$proj/log.txt")"
}

# Which tools ran, in order (the stand-ins log each call).
CheckCalls() {
  local calls
  calls=$(cut -d' ' -f1 "$proj/standin-calls.txt" 2>/dev/null | tr -d '\r' | paste -sd' ')
  [[ $calls == "$1" ]] || Check "the tools ran as: $calls"
}

# CheckSecondPass REG2 COUNTED_FILES...: REG2 holds 2nd.reg as the batch left it (the copy of
# the template). It must be the template plus exactly one desired_size line, the value the
# registry holds after the import, the size the second pass wrote, and the media size minus the
# counted files rounded to whole kilobytes (halves to even).
CheckSecondPass() {
  local reg2=$1; shift
  local template="$app/misc/2nd.reg" lines hex
  lines=$(tr -d '\r' <"$reg2" | grep -c '^"desired_size"=dword:')
  [[ $lines == 1 ]] || Check "2nd.reg holds $lines desired_size lines"
  hex=$(tr -d '\r' <"$reg2" | sed -n 's/^"desired_size"=dword:\([0-9A-F]\{1,8\}\)$/\1/p' | tail -1)
  [[ -n $hex ]] || { Check "2nd.reg has no well-formed desired_size line"; return; }
  cmp -s "$reg2" <(cat "$template"; printf '"desired_size"=dword:%s\r\n' "$hex") ||
    Check "2nd.reg is not the template plus the one appended line: $(tail -c 80 "$reg2" | od -c)"
  local desired=$((16#$hex))

  local query
  query=$("$RAVLO_WINE" reg query 'HKCU\Software\GNU\XviD' /v desired_size 2>/dev/null | tr -d '\r' |
          awk '$1 == "desired_size" { print $3 }')
  [[ -n $query && $((query)) == "$desired" ]] ||
    Check "the registry holds desired_size '$query' after the run, 2nd.reg says $desired"

  local avi; avi=$(Size "$proj/movie.avi")
  [[ $avi == $((desired * 1024)) ]] ||
    Check "movie.avi is $avi bytes, the second pass was to write $desired KB"

  local used=0 f q r usedKB
  for f in "$@"; do
    [[ -f $proj/$f ]] || Check "$f is missing"
    used=$((used + $(Size "$proj/$f")))
  done
  q=$((used / 1024)) r=$((used % 1024))
  usedKB=$((q + (r > 512 || (r == 512 && q % 2 == 1))))
  [[ $desired == $((MediaMB * 1024 - usedKB)) ]] ||
    Check "desired_size $desired KB, but $MediaMB MB minus $used bytes of audio and subtitles is $((MediaMB * 1024 - usedKB)) KB"
  local total=$((avi + used)) diff
  diff=$((total - MediaMB * 1048576))
  ((diff >= -512 && diff <= 512)) ||
    Check "video, audio and subtitles are $total bytes, $diff off $MediaMB MB"
  echo "[$variant] movie.avi $avi + audio/subtitles $used = $total bytes (${diff} off $MediaMB MB); desired_size $hex"
}

# Every file movie.bat names exists, and its dub tracks are exactly the given files.
CheckPlayback() {
  local line word dubs="" next=""
  line=$(tr -d '\r' <"$proj/movie.bat")
  for word in $line; do
    [[ $word == /* ]] && { next=$word; continue; }
    [[ -f $proj/$word ]] || Check "movie.bat names $word, which is not in the folder"
    [[ $next == /dub ]] && dubs+="$word "
    next=""
  done
  [[ $dubs == "$* " ]] || Check "movie.bat dubs '$dubs', expected '$* '"
}

# --- Converted to MP3, clean-up on --------------------------------------------------------------
variant=converted
RunProject "$variant" --check lstAL=0 --check lstAL=2 --click cmdSSA
[[ $savedFiles == "$(printf '%s\n' 1st.reg 2nd.reg AutoCrop.dll BeSweet.exe DGDecode.dll \
    DGIndex.exe avs2avi.exe azid.dll brimmer.exe gsar.exe hip.dll lame_enc.dll movie.bat \
    mplayerc.exe project.avs project.bat project.lst rar32.exe rsx.exe subparam vStrip.exe |
    LC_ALL=C sort)" ]] || Check "the save left: $(echo $savedFiles)"
CheckLog
CheckCalls "DGIndex.exe vobsub.dll,Configure rar32.exe vStrip.exe vStrip.exe BeSweet.exe BeSweet.exe avs2avi.exe avs2avi.exe gsar.exe"
CheckSecondPass "$work/$variant.2nd.reg" 0x80.mp3 0x81.mp3 movie.rar movie.idx
for audio in 0x80.mp3 0x81.mp3; do
  grep -qa "$Author" "$proj/$audio" || Check "$audio does not carry $Author"
  grep -qa "$Signature" "$proj/$audio" && Check "$audio still carries $Signature"
done
# What the Options menu asked to delete is gone (the temporary files, the tools, the logs and
# the frame-server files; the demultiplexed streams went in the audio step); the result, the
# playback script, its player, log.txt and the batch itself stay.
finalFiles="0x80.mp3 0x81.mp3 log.txt movie.avi movie.bat movie.idx movie.rar mplayerc.exe project.bat standin-calls.txt vobsub.dll"
[[ $(Files "$proj" | paste -sd' ') == "$finalFiles" ]] ||
  Check "after the batch the folder differs: $(diff <(tr ' ' '\n' <<<"$finalFiles") <(Files "$proj") | grep '^[<>]' | paste -sd' ')"
CheckPlayback 0x80.mp3 0x81.mp3

# --- Original audio kept, nothing deleted -----------------------------------------------------
# AC3 output checks "Original", so the streams go into the result as vStrip wrote them.
variant=original
RunProject "$variant" --check lstAL=0 --check lstAL=1 --set optAud_AC3=1 --check lstSL=1 \
  --click chkDelTemp --click chkDelLogs
CheckLog
CheckCalls "DGIndex.exe vobsub.dll,Configure rar32.exe vStrip.exe vStrip.exe avs2avi.exe avs2avi.exe gsar.exe"
# Nothing is deleted, so 2nd.reg itself is there to read; brimmer counts .ac3 files, not .wav.
CheckSecondPass "$proj/2nd.reg" 0x80o.ac3 movie.rar movie.idx
produced="0x80o.ac3 0xA0o.wav log.txt movie.avi movie.idx movie.rar movie.sub project.d2v standin-calls.txt vobsub.dll"
expected=$(printf '%s\n' $savedFiles $produced | LC_ALL=C sort)
[[ $(Files "$proj") == "$expected" ]] ||
  Check "after the batch the folder differs: $(diff <(echo "$expected") <(Files "$proj") | grep '^[<>]' | paste -sd' ')"
for audio in 0x80o.ac3 0xA0o.wav; do
  [[ $(Size "$proj/$audio") -gt 0 ]] || Check "$audio is empty or missing"
done
CheckPlayback 0x80o.ac3 0xA0o.wav

# --- A disc folder holding cmd's own characters ------------------------------------------------
# Every character the command interpreter treats as its own, a variable name between percent
# signs and blanks: the batch runs to its end, each tool gets the path literally, nothing else
# runs (no folder INJECTED appears) and no variable is expanded.
variant=odd
oddDisc="$work/disc x&mkdir INJECTED&y ^%PATH%!();"
mkdir -p "$oddDisc" && cp -r "$discs/disc_a/VIDEO_TS" "$oddDisc/" || Fail "cannot copy the disc"
ifo="$oddDisc/VIDEO_TS/VTS_01_0.IFO"
RunProject "$variant" --check lstAL=0 --click cmdSSA
CheckLog
CheckCalls "DGIndex.exe vobsub.dll,Configure rar32.exe vStrip.exe BeSweet.exe avs2avi.exe avs2avi.exe gsar.exe"
CheckSecondPass "$work/$variant.2nd.reg" 0x80.mp3 movie.rar movie.idx
oddWin=$(WinPath "$oddDisc")
calls=$(tr -d '\r' <"$proj/standin-calls.txt")
grep -qF "DGIndex.exe -AIF=[$oddWin\VIDEO_TS\VTS_01_1.VOB]" <<<"$calls" ||
  Check "DGIndex did not get the VOB path literally: $(grep DGIndex <<<"$calls")"
grep -qF "$oddWin\VIDEO_TS\VTS_01_0.IFO" <<<"$(grep '^vStrip.exe' <<<"$calls")" ||
  Check "vStrip did not get the IFO path literally: $(grep vStrip <<<"$calls")"
[[ $(head -1 "$proj/project.lst" 2>/dev/null | tr -d '\r') == "$oddWin\VIDEO_TS\VTS_01_1.VOB" ]] ||
  [[ ! -e $proj/project.lst ]] || Check "project.lst does not name the VOB literally"
find "$work" "$app" / -maxdepth 1 -iname 'INJECTED*' 2>/dev/null | grep -q . &&
  Check "a folder INJECTED was made"
find "$work" -iname 'INJECTED*' | grep -q . && Check "a folder INJECTED was made in $work"

if ((failures > 0)); then
  echo "$failures finding(s); the folders are kept in $work" >&2
  exit 1
fi
rm -rf "$work"
echo "end to end: both projects ran through and left what their settings ask for"
