#!/usr/bin/env bash
# The main job on the bundled sample disc, in scripted mode under Wine:
# builds and installs Ravlo3 (the 32-bit build that ships; where this host runs no 32-bit code,
# the test-only 64-bit build under 64-bit Wine, see wine-env.sh), authors sample disc (a) (PAL 16:9, two chains, three audio and
# two subtitle streams), opens its IFO, selects every audio and subtitle stream, saves the
# project and prints the confirmation, project.bat and the project folder.
# Then the Linux road for real: the native ravlo3 plans a project of the authored disc (r)
# (a minute of a hard-to-compress picture), project.sh makes the movie with ffmpeg and XviD,
# and the demo prints each result file's ffprobe summary, the medium, the total and the fill.
#
# Usage: scripts/demo.sh [--gui] [PATH_TO_VTS_IFO]
#   --gui   open the main window instead (needs a display, or runs inside xvfb-run)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

gui=0
if [ "${1:-}" = "--gui" ]; then gui=1; shift; fi

scripts/install-deps.sh
demo="$root/build/demo"
source scripts/wine-env.sh
export WINEPREFIX="$demo/wineprefix-$WINEARCH"  # a prefix is either 32- or 64-bit
windows=build/$RAVLO_WINE_PRESET
if [ "$RAVLO_WINE_BITS" = 64 ]; then
  echo "The Windows part runs the 64-bit test build under 64-bit Wine ($RAVLO_WINE_WHY)."
fi
echo "== Building (preset $RAVLO_WINE_PRESET) =="
cmake --preset "$RAVLO_WINE_PRESET" >/dev/null
targets=(Ravlo3 brimmer ifoscan vobtitle)
available=$(cmake --build "$windows" --target help 2>/dev/null || true)
if grep -q standin_tools_tree <<<"$available"; then
  targets+=(standin_tools_tree)
fi
cmake --build "$windows" -j"$(nproc)" --target "${targets[@]}" >/dev/null

install="$demo/Ravlo3"
rm -rf "$install"
cmake --install "$windows" --prefix "$install" >/dev/null
# The real outside tools are not ours to ship; the demo installs the stand-ins the tests use,
# which write files of the same names, so that the saved project is complete.
if [ -d "$windows/standin-tools" ]; then
  cp -r "$windows/standin-tools/." "$install/tools/"
fi

scripts/wine-prefix.sh start "$WINEPREFIX"
trap 'scripts/wine-prefix.sh stop "$WINEPREFIX"' EXIT
# The help page would open on the first start; the demo is about the project.
"$RAVLO_WINE" reg add 'HKCU\Software\Ravlo3\Options' /v FirstRun /d Done /f >/dev/null 2>&1

if [ $gui -eq 1 ]; then
  echo "== Opening the main window =="
  "$RAVLO_WINE" "$install/Ravlo3.exe"
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
"$RAVLO_WINE" "$install/Ravlo3.exe" --open "$(winpath "$ifo")" --click cmdASA --click cmdSSA \
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

echo
echo "== The Linux road: native ravlo3 and project.sh =="
cmake --preset native >/dev/null
cmake --build --preset native -j"$(nproc)" --target ravlo3 brimmer ifoscan vobtitle >/dev/null
native="$demo/native"
rm -rf "$native"
cmake --install build/native --prefix "$native" >/dev/null
tests/fixtures/make_road_disc.sh "$root/build/discs"
road="$demo/road-project"
rm -rf "$road"
mkdir -p "$road"
export XDG_CONFIG_HOME="$demo/config" XDG_CACHE_HOME="$demo/cache"
set -x
"$native/bin/ravlo3" --open "$root/build/discs/disc_r/VIDEO_TS/VTS_01_0.IFO" --chain 1 \
  --audio 0x80,0x81 --subtitles 0x21,0x20 --format mp3 --quality 128 --size 7 \
  --delete-temporary --delete-logs --save "$road"
"$road/project.sh"
{ set +x; } 2>/dev/null
echo "== What came out in $road =="
total=0
for file in "$road"/movie.avi "$road"/*.mp3 "$road"/movie.idx "$road"/movie.sub; do
  bytes=$(wc -c <"$file")
  total=$((total + bytes))
  echo "-- $(basename "$file"): $bytes bytes"
  ffprobe -v error -show_entries format=format_name,duration:stream=index,codec_name,codec_tag_string,width,height,channels,bit_rate \
    -of compact=p=0 "$file" 2>/dev/null || true
done
medium=$((7 * 1024 * 1024))
awk -v t="$total" -v m="$medium" 'BEGIN { printf "Medium %d bytes (7 MB), total %d bytes: %.2f%% filled\n", m, t, 100 * t / m }'
