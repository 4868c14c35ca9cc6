#!/usr/bin/env bash
# "Open IFO" on the authored sample discs through the real misc\ifoparse.bat and ifoscan.exe,
# in scripted mode under Wine: the dump shows what a user would see on the Video, Audio and
# Subtitles tabs.
# Usage: open_disc_wine_test.sh RAVLO3_EXE IFOSCAN_EXE SOURCE_DIR DISCS_DIR
set -euo pipefail
source "$(dirname "$0")/../../scripts/wine-env.sh"  # the Wine this build needs
ravlo=$1 ifoscan=$2 source=$3 discs=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
install="$work/Ravlo 3"  # a blank in every path the parser is given
mkdir -p "$install/misc" "$install/tools"
cp "$ravlo" "$install/"
cp "$ifoscan" "$source/dist/misc/ifoparse.bat" "$install/misc/"
touch "$install/tools/xt.txt"
"$RAVLO_WINE" reg add 'HKCU\Software\Ravlo3\Options' /v FirstRun /d Done /f >/dev/null 2>&1
winpath() { echo "Z:${1//\//\\}"; }

fail=0
Open() {  # Open DISC [FOLDER]: runs the planner on the title set in FOLDER (default: the
          # disc's VIDEO_TS) and keeps the dump as DISC.dump
  local folder=${2:-$discs/$1/VIDEO_TS}
  "$RAVLO_WINE" "$install/Ravlo3.exe" --open "$(winpath "$folder/VTS_01_0.IFO")" --dump \
    2>"$work/$1.err" | tr -d '\r' >"$work/$1.dump"
}
Expect() {  # Expect DISC LINE...
  local disc=$1; shift
  for line in "$@"; do
    grep -qxF -- "$line" "$work/$disc.dump" || { echo "$disc: missing line: $line"; fail=1; }
  done
}
Count() {  # Count DISC PATTERN N
  local n
  n=$(grep -cE "$2" "$work/$1.dump" || true)
  [ "$n" -eq "$3" ] || { echo "$1: $n lines match $2, expected $3"; fail=1; }
}

Open disc_a
Expect disc_a 'optPAL=1' 'optNTSC=0' 'opt16_9=1' 'opt4_3=0' 'txtTitle=1' 'txtAngle=1' \
  'cmbPGC.selected=0' 'picInfo_on.visible=1' 'picInfo_off.visible=0' 'mnuSave.enabled=1' \
  'mnuSaveRun.enabled=1' 'txtSec=4' 'txtFra=100' 'txtAB=128'
Count disc_a '^cmbPGC\[[0-9]+\]=[0-9]+\. Length: [0-9]{2}:[0-9]{2}:[0-9]{2}' 2
Count disc_a '^lstAL\[[0-9]+\]=0x8[0-7]\. [A-Za-z]+ \(AC3' 2
Count disc_a '^lstAL\[[0-9]+\]=0xA[0-7]\. [A-Za-z]+ \(LPCM' 1
Count disc_a '^lstAL\[[0-9]+\]=' 3
Count disc_a '^lstSL\[[0-9]+\]=0x2[0-9A-F]\. [A-Za-z]+ \(Subtitle\)' 2
Count disc_a '^lstSL\[[0-9]+\]=' 2
Count disc_a '^lstAL\[[0-9]+\]\.checked=1' 0

Open disc_b
Expect disc_b 'optPAL=0' 'optNTSC=1' 'opt16_9=0' 'opt4_3=1' 'txtSec=5' 'txtFra=120'
Count disc_b '^cmbPGC\[[0-9]+\]=' 1
Count disc_b '^lstAL\[[0-9]+\]=0x80\. Unknown \(AC3' 1
Count disc_b '^lstSL\[[0-9]+\]=' 0

# A disc folder holding every character cmd treats as its own reaches the parser literally:
# the title opens, and nothing in the name runs.
odd="$work/x&mkdir INJECTED&y ^%PATH%!();"
mkdir -p "$odd/VIDEO_TS"
cp "$discs/disc_b/VIDEO_TS/"* "$odd/VIDEO_TS/"
(cd "$work" && Open odd "$odd/VIDEO_TS")
Expect odd 'optNTSC=1' 'opt4_3=1' 'txtSec=5' 'mnuSave.enabled=1'
Count odd '^lstAL\[[0-9]+\]=0x80\. Unknown \(AC3' 1
if find "$work" "$install" -iname 'INJECTED*' | grep -q .; then echo "odd: a folder INJECTED was made"; fail=1; fi

# An IFO that is no title set: the message carries ifoscan's own reason, and the run ends
# there: the dump after the failed open does not come.
mkdir -p "$work/broken"
cp "$discs/disc_b/VIDEO_TS/VIDEO_TS.IFO" "$work/broken/VTS_01_0.IFO"
Open broken "$work/broken" || true
Count broken '^mnuSave\.enabled=' 0
grep -q "The parser said: ifoscan: .*not a title set" "$work/broken.err" ||
  { echo "broken: the parser's reason is missing:"; cat "$work/broken.err"; fail=1; }

[ $fail -eq 0 ] && echo "every disc opens as expected"
exit $fail
