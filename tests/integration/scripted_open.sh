#!/usr/bin/env bash
# "Open IFO" in scripted mode under Wine: a test copy of the installation whose
# misc\ifoparse.bat checks the three quoted arguments it is given and writes a fixture report.
# Then the user's next steps (check a stream, Select all, OGG) and the state they would see.
# Usage: scripted_open.sh PATH/TO/Ravlo3.exe   (WINEPREFIX etc. come from CTest)
set -euo pipefail
source "$(dirname "$0")/../../scripts/wine-env.sh"  # the Wine this build needs
exe=$1
root="${RAVLO_BUILD:-$(dirname "$exe")}/scripted_open"
install="$root/Ravlo3 test"         # a blank in the path: unquoted arguments would split
disc_unix="$WINEPREFIX/drive_c/Ravlo3 test disc/VIDEO_TS"
trap 'rm -rf "$WINEPREFIX/drive_c/Ravlo3 test disc"' EXIT

rm -rf "$root"
mkdir -p "$install/misc" "$install/tools" "$disc_unix"
cp "$exe" "$install/Ravlo3.exe"
: >"$install/tools/xt.txt"          # tools folder prepared: no xt.bat at start-up
: >"$disc_unix/VTS_01_0.IFO"

win() { "$RAVLO_WINE" winepath -w "$1" | tr -d '\r'; }
app_win="$(win "$install")\\"
ifo='C:\Ravlo3 test disc\VIDEO_TS\VTS_01_0.IFO'
vstrip="${app_win}tools\\vStrip_08f\\vStrip.exe"
report="${app_win}misc\\ifoparse.txt"

crlf() { sed 's/$/\r/'; }
crlf >"$install/misc/fixture.txt" <<'REPORT'
  1. Length: 01:40:00, 12 chapters
  2. Length: 00:02:10, 1 chapters
  0x80. English (AC3, 6ch, 48kHz) [1]
  0x81. Deutsch (AC3, 2ch, 48kHz) [2]
  0x20. English (Subtitle) [1]
  Video: PAL 16:9 720x576
REPORT
# %1 compared with its quotes: an unquoted argument does not match.
crlf >"$install/misc/ifoparse.bat" <<BAT
@echo off
echo %*> "%~dp0ifoparse.args"
if not %1=="$vstrip" goto wrong
if not %2=="$ifo" goto wrong
if not %3=="$report" goto wrong
if not "%~4"=="" goto wrong
copy /y "%~dp0fixture.txt" %3 >nul
exit /b 0
:wrong
echo wrong arguments>> "%~dp0ifoparse.args"
exit /b 1
BAT

fail=0
set +e
"$RAVLO_WINE" "$install/Ravlo3.exe" --open "$ifo" --check lstAL=1 --click cmdASA --set optAud_OGG=1 --dump \
  >"$root/dump.crlf" 2>"$root/err"
code=$?
set -e
tr -d '\r' <"$root/dump.crlf" >"$root/dump"
[ $code -eq 0 ] || { echo "exit code $code; stderr:"; cat "$root/err"; fail=1; }
[ ! -s "$root/err" ] || { echo "stderr not empty:"; cat "$root/err"; fail=1; }
if grep -q 'wrong arguments' "$install/misc/ifoparse.args" 2>/dev/null; then
  echo "ifoparse.bat got: $(head -1 "$install/misc/ifoparse.args")"
  echo "expected:         \"$vstrip\" \"$ifo\" \"$report\""
  fail=1
fi
cmp -s "$install/misc/fixture.txt" "$install/misc/ifoparse.txt" || { echo "no report written"; fail=1; }

expect() {
  grep -qxF -- "$1" "$root/dump" || { echo "missing line: $1"; fail=1; }
}
count() {  # count PATTERN EXPECTED: lines of the dump that match
  local n; n=$(grep -c -- "$1" "$root/dump" || true)
  [ "$n" -eq "$2" ] || { echo "$n lines match $1, expected $2"; fail=1; }
}
# The title as the analysis leaves it.
for line in "IfoPath=$ifo" 'txtTitle=1' 'txtAngle=1' \
            'cmbPGC=1. Length: 01:40:00, 12 chapters' 'cmbPGC.selected=0' \
            'cmbPGC[1]=2. Length: 00:02:10, 1 chapters' \
            'picInfo_on.visible=1' 'picInfo_off.visible=0' \
            'optPAL=1' 'optNTSC=0' 'opt16_9=1' 'opt4_3=0' \
            'txtSec=6000' 'txtMin=100' 'txtFra=150000' \
            'lstSL[0]=0x20. English (Subtitle) ' 'lstSL[0].checked=0' \
            'mnuSave.enabled=1' 'mnuSaveAs.enabled=1' 'mnuSaveRun.enabled=1'; do
  expect "$line"
done
count '^cmbPGC\[[0-9]*\]=' 2
count '^lstSO_code\[' 0
# Stream 1 checked first, then "Select all" appended stream 0 behind it.
for line in 'lstAL[0]=0x80. English (AC3, 6ch, 48kHz) ' 'lstAL[0].checked=1' \
            'lstAL[1]=0x81. Deutsch (AC3, 2ch, 48kHz) ' 'lstAL[1].checked=1' \
            'lstAO_code[0]=0x81o.ac3' 'lstAO_code[1]=0x80o.ac3' \
            'lstAO_name[0]=0x81 Deutsch' 'lstAO_name[1]=0x80 English'; do
  expect "$line"
done
count '^lstAO_code\[' 2
# OGG: its quality list and text, and two streams at 80 kbit/s left 817 for the video.
for line in 'optAud_OGG=1' 'optAud_MP3=0' 'optAud_AC3=0' 'cmbAudQual=80' 'cmbAudQual.enabled=1' \
            'cmbAudQual[7]=64' 'chkOrig=0' 'chkOrig.visible=0' 'chk51=0' 'chk51.enabled=0' \
            'cmbBS_CM.enabled=1' 'txtVB=817' 'txtAB=80'; do
  expect "$line"
done

# The parser writing no report (it rejects this IFO path): the user is told which files, and
# the run ends there with exit code 1: the dump after the failed open does not come.
other='C:\Ravlo3 test disc\VIDEO_TS\VTS_02_0.IFO'
: >"$disc_unix/VTS_02_0.IFO"
set +e
"$RAVLO_WINE" "$install/Ravlo3.exe" --open "$other" --dump >"$root/dump2.crlf" 2>"$root/err2"
code=$?
set -e
tr -d '\r' <"$root/dump2.crlf" >"$root/dump2"
[ $code -eq 1 ] || { echo "missing report: exit code $code, not 1"; fail=1; }
grep -qF -- "$other" "$root/err2" && grep -qF -- "$report" "$root/err2" ||
  { echo "missing report: message does not name both files:"; cat "$root/err2"; fail=1; }
! grep -q '^mnuSave\.enabled=' "$root/dump2" || { echo "missing report: the run went on to the dump"; fail=1; }

[ $fail -eq 0 ] && echo "scripted open: all checks passed"
exit $fail
