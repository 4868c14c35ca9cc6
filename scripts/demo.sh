#!/usr/bin/env bash
# The main job on the bundled sample disc, in scripted mode under Wine:
# builds and installs Ravlo3, authors sample disc (a) (PAL 16:9, two chains, three audio and
# two subtitle streams), opens its IFO, selects every audio and subtitle stream, saves the
# project and prints the confirmation, project.bat and the project folder.
#
# Usage: scripts/demo.sh [--gui] [PATH_TO_VTS_IFO]
#   --gui   open the main window instead (needs a display, or runs inside xvfb-run)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

gui=0
if [ "${1:-}" = "--gui" ]; then gui=1; shift; fi

scripts/install-deps.sh
echo "== Building (preset win32) =="
cmake --preset win32 >/dev/null
targets=(Ravlo3 brimmer ifoscan)
available=$(cmake --build build/win32 --target help 2>/dev/null || true)
if grep -q standin_tools_tree <<<"$available"; then
  targets+=(standin_tools_tree)
fi
cmake --build build/win32 -j"$(nproc)" --target "${targets[@]}" >/dev/null

demo="$root/build/demo"
install="$demo/Ravlo3"
rm -rf "$install"
cmake --install build/win32 --prefix "$install" >/dev/null
# The real outside tools are not ours to ship; the demo installs the stand-ins the tests use,
# which write files of the same names, so that the saved project is complete.
if [ -d build/win32/standin-tools ]; then
  cp -r build/win32/standin-tools/. "$install/tools/"
fi

export WINEPREFIX="$demo/wineprefix" WINEARCH=win32 WINEDEBUG=-all
scripts/wine-prefix.sh start "$WINEPREFIX"
trap 'scripts/wine-prefix.sh stop "$WINEPREFIX"' EXIT
# The help page would open on the first start; the demo is about the project.
wine reg add 'HKCU\Software\Ravlo3\Options' /v FirstRun /d Done /f >/dev/null 2>&1

if [ $gui -eq 1 ]; then
  echo "== Opening the main window =="
  wine "$install/Ravlo3.exe"
  exit 0
fi

winpath() { echo "Z:${1//\//\\}"; }
if [ $# -ge 1 ]; then
  ifo=$(realpath "$1")
else
  echo "== Authoring sample disc (a) =="
  tests/fixtures/make_discs.sh "$root/build/discs"
  ifo="$root/build/discs/disc_a/VIDEO_TS/VTS_01_0.IFO"
fi
project="$demo/project"
rm -rf "$project"
mkdir -p "$project"

echo "== Ravlo3 --open $(winpath "$ifo") --click cmdASA --click cmdSSA --save $(winpath "$project") =="
wine "$install/Ravlo3.exe" --open "$(winpath "$ifo")" --click cmdASA --click cmdSSA \
  --save "$(winpath "$project")" --dump >"$demo/run.txt"
tr -d '\r' <"$demo/run.txt" >"$demo/run.lf"
# Messages come before the dump, which starts with the first field.
sed -n '/^txtTitle=/q;p' "$demo/run.lf"
echo "== What the title holds =="
grep -E '^(optPAL|optNTSC|opt16_9|opt4_3|cmbPGC\[[0-9]+\]|lstAO_code\[[0-9]+\]|lstSO_code\[[0-9]+\]|txtSec|txtVB|txtAB)=' "$demo/run.lf"
echo "== project.bat =="
tr -d '\r' <"$project/project.bat"
echo "== Project folder $project =="
ls -l "$project"
