#!/usr/bin/env bash
# Runs the delivered misc\ifoparse.bat under Wine the way the planner starts it: three quoted
# arguments (DVD tool, IFO, report), all in folders with blanks, ifoscan.exe beside the script.
# Checks the report of sample disc (a), and that a bad IFO leaves no report but ifoscan's
# reason in ifoparse.err.
# Usage: wine_ifoparse.sh IFOSCAN_EXE IFOPARSE_BAT DISCS_DIR
set -euo pipefail
source "$(dirname "$0")/../../scripts/wine-env.sh"  # the Wine this build needs
exe=$1 bat=$2 discs=$3
root=$(mktemp -d "${RAVLO_BUILD:-/tmp}/ifoparse wine.XXXXXX")
trap 'rm -rf "$root"' EXIT
mkdir -p "$root/Ravlo 3/misc" "$root/My Disc/VIDEO_TS"
cp "$exe" "$root/Ravlo 3/misc/ifoscan.exe"
cp "$bat" "$root/Ravlo 3/misc/ifoparse.bat"
cp "$discs/disc_a/VIDEO_TS/VTS_01_0.IFO" "$discs/disc_a/VIDEO_TS/VIDEO_TS.IFO" "$root/My Disc/VIDEO_TS/"

WinPath() { "$RAVLO_WINE" winepath -w "$1" 2>/dev/null; }
misc=$(WinPath "$root/Ravlo 3/misc")
ifo=$(WinPath "$root/My Disc/VIDEO_TS/VTS_01_0.IFO")
report="$root/Ravlo 3/misc/ifoparse.txt"

# Wine quotes each argument that holds a blank; "call" keeps cmd from stripping the first and
# last quote of a command line that starts with one.
"$RAVLO_WINE" cmd /c call "$misc\\ifoparse.bat" "C:\\tools\\vStrip 0.8f\\vStrip.exe" "$ifo" "$misc\\ifoparse.txt"
[[ -f "$report" ]] || { echo "FAIL: no report written" >&2; exit 1; }
expected=$'  1. Length: 00:00:04, 2 chapters\r
  2. Length: 00:00:07, 1 chapters\r
  0x80. English (AC3, 2ch, 48kHz) [1]\r
  0xA0. French (LPCM, 2ch, 48kHz) [2]\r
  0x81. German (AC3, 6ch, 48kHz) [3]\r
  0x20. English (Subtitle) [1]\r
  0x21. Dutch (Subtitle) [2]\r
  Video: PAL 16:9 720x576\r'
if [[ "$(cat "$report")" != "$expected" ]]; then
  echo "FAIL: report differs:" >&2; cat -A "$report" >&2; exit 1
fi

# The video manager's IFO is no title set: no report, and the failure reaches cmd's exit code.
rm -f "$report"
vmg=$(WinPath "$root/My Disc/VIDEO_TS/VIDEO_TS.IFO")
if "$RAVLO_WINE" cmd /c call "$misc\\ifoparse.bat" "C:\\vStrip.exe" "$vmg" "$misc\\ifoparse.txt" 2>"$root/err.txt"; then
  echo "FAIL: a video manager IFO gave exit code 0" >&2; exit 1
fi
[[ ! -e "$report" ]] || { echo "FAIL: a report was written for a video manager IFO" >&2; exit 1; }
# ifoscan's reason lands beside the report, where the planner reads it.
reason="$root/Ravlo 3/misc/ifoparse.err"
grep -q "not a title set" "$reason" || { echo "FAIL: no reason given:" >&2; cat "$reason" >&2; exit 1; }
echo "ifoparse.bat under Wine: report of disc (a) as expected"
