#!/usr/bin/env bash
# Ravlo3.exe --dump under Wine: start-up leaves every field at its default and sets the globals.
# Also: output reaches a redirected stdout, bad arguments exit with 2 and a message on stderr.
set -euo pipefail
source "$(dirname "$0")/../../scripts/wine-env.sh"  # the Wine this build needs
exe=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$RAVLO_WINE" "$exe" --dump >"$work/dump.crlf"
tr -d '\r' <"$work/dump.crlf" >"$work/dump"

fail=0
expect() {
  grep -qxF -- "$1" "$work/dump" || { echo "missing line: $1"; fail=1; }
}
for line in 'txtTitle=' 'cmbPGC=' 'picInfo_on.visible=0' 'picInfo_off.visible=1' \
            'optPAL=0' 'optNTSC=0' 'opt16_9=0' 'opt4_3=0' \
            'cmbMS=699' 'chkAC=1' 'txtAC_Threshold=20' 'txtAC_Samples=10' 'chkResize=1' \
            'cmbResize=Lanczos' 'cmbBS_DC=normal' 'cmbBS_CM=surround2' 'cmbBS_CM.enabled=1' \
            'optSub_VOBSUB=1' 'optSub_SRT=0' 'optAud_MP3=1' 'optAud_AC3=0' 'optAud_OGG=0' \
            'chkOrig=0' 'chkOrig.visible=0' 'chk51=0' 'chk51.enabled=0' \
            'cmbAudQual=128' 'cmbAudQual.enabled=1' 'txtVB=0' 'txtAB=128' \
            'chkForceFilm=0' 'chkDeinterlace=0' 'chkIVTC=0' \
            'mnuNew.enabled=1' 'mnuOpen.enabled=1' 'mnuSave.enabled=0' 'mnuSaveAs.enabled=0' \
            'mnuSaveRun.enabled=0' 'chkDelTemp=1' 'chkDelLogs=1' 'chkShutDown=0' \
            'AuthorText=ravlo.example.net' 'LineBreak=\r\n' 'IfoPath=' 'ProjectFolder='; do
  expect "$line"
done
# The media sizes in their order, and no eighth-plus-one item.
expected_sizes="349 699 746 896 1120 1493 2048 4478"
sizes=$(grep -E '^cmbMS\[[0-9]+\]=' "$work/dump" | cut -d= -f2 | tr '\n' ' ' | sed 's/ $//')
[ "$sizes" = "$expected_sizes" ] || { echo "cmbMS items: '$sizes'"; fail=1; }

app=$(grep '^AppFolder=' "$work/dump" | cut -d= -f2-)
case "$app" in *\\) ;; *) echo "AppFolder does not end with a backslash: $app"; fail=1 ;; esac
expect "MiscFolder=${app}misc\\"
tools="${app}tools\\"
for entry in 'vStrip=vStrip_08f\vStrip.exe' 'rar32=rarx360\rar32.exe' \
             'BeSweet=BeSweetv1.5b31\BeSweet.exe' 'DGIndex=dgmpgdec148\DGIndex.exe' \
             'DGDecode=dgmpgdec148\DGDecode.dll' 'AutoCrop=AutoCrop11\AutoCrop.dll' \
             'Decomb=decomb410b4\Decomb.dll' 'avs2avi=avs2avi-139\avs2avi.exe' \
             'mplayerc=mpc2kxp6482\mplayerc.exe' 'gsar=gsar112\gsar.exe'; do
  expect "ToolPaths.${entry%%=*}=${tools}${entry#*=}"
done
[ "$(grep -c '^ToolPaths\.' "$work/dump")" -eq 10 ] || { echo "not ten tool paths"; fail=1; }

# Every field line of the record appears once (name=value, in table order before the globals).
[ "$(grep -c '\.visible=' "$work/dump")" -eq 60 ] || { echo "not 60 fields"; fail=1; }

set +e
"$RAVLO_WINE" "$exe" --set txtNothing=1 >"$work/out" 2>"$work/err"
code=$?
set -e
[ $code -eq 2 ] || { echo "unknown name: exit code $code"; fail=1; }
grep -q 'txtNothing' "$work/err" || { echo "unknown name: no message on stderr"; fail=1; }
[ ! -s "$work/out" ] || { echo "unknown name: wrote to stdout"; fail=1; }

exit $fail
