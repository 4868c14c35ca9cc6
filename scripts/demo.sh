#!/usr/bin/env bash
# The main job on bundled sample discs, authored at run time with ffmpeg, dvdauthor and spumux.
#
# The Linux road for real: the optimised native ravlo3 (preset native-release, installed into
# build/demo/native) plans a project of disc (r), a minute of a hard-to-compress picture with
# two audio and two subtitle streams; project.sh makes the movie with ffmpeg: one MKV file of
# H.264 video, both audio tracks and both subtitle tracks with their languages and the chapters;
# the demo ends with what the file holds, how to play it and the fill of the medium.
# Before it, the Windows planner in scripted mode under Wine (the 32-bit build that ships; where
# this host runs no 32-bit code, the test-only 64-bit build, see wine-env.sh) opens disc (a)
# (PAL 16:9, two chains, three audio and two subtitle streams), selects every stream and saves
# its project.bat.
#
# Usage: scripts/demo.sh [--verbose] [--gui] [PATH_TO_VTS_IFO]
#   --verbose  also print the Windows planner's project.bat and project folder
#   --gui      open the Windows planner's window under Wine instead (needs a display)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

gui=0 verbose=0
while [ $# -gt 0 ]; do
  case $1 in
    --gui) gui=1 ;;
    --verbose) verbose=1 ;;
    *) break ;;
  esac
  shift
done

scripts/install-deps.sh
demo="$root/build/demo"
source scripts/wine-env.sh
export WINEPREFIX="$demo/wineprefix-$WINEARCH"  # a prefix is either 32- or 64-bit
windows=build/$RAVLO_WINE_PRESET
if [ "$RAVLO_WINE_BITS" = 64 ]; then
  echo "The Windows part runs the 64-bit test build under 64-bit Wine ($RAVLO_WINE_WHY)."
fi
echo "== Building the Windows programs (preset $RAVLO_WINE_PRESET) =="
cmake --preset "$RAVLO_WINE_PRESET" >/dev/null
# `programs` is what the install takes; the stand-in tools complete the demo's tools folder.
targets=(programs)
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
if [ $verbose -eq 1 ]; then
  echo "== project.bat =="
  tr -d '\r' <"$project/project.bat"
  echo "== Project folder $project =="
  ls -l "$project"
else
  echo "(project.bat and the rest of the project are in $project; --verbose prints them)"
fi

echo
echo "== The Linux road: building the optimised native programs (preset native-release) =="
cmake --preset native-release >/dev/null
cmake --build --preset native-release -j"$(nproc)" >/dev/null
native="$demo/native"
rm -rf "$native"
cmake --install build/native-release --prefix "$native" >/dev/null
"$native/bin/ravlo3" --version
echo "== Authoring sample disc (r) =="
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
for file in "$road"/*.mkv; do
  bytes=$(wc -c <"$file")
  total=$((total + bytes))
  echo "-- $(basename "$file"): $bytes bytes"
  ffprobe -v error -show_entries format=format_name,duration:stream=index,codec_type,codec_name,width,height,channels:stream_tags=language \
    -of compact=p=0 "$file" 2>/dev/null || true
  ffprobe -v error -show_entries chapter=start_time:chapter_tags=title -of compact=p=0 "$file" 2>/dev/null || true
done
echo "Play it with its audio tracks and subtitles: $road/movie.sh (mpv, else ffplay)"
medium=$((7 * 1024 * 1024))
awk -v t="$total" -v m="$medium" 'BEGIN { printf "Medium %d bytes (7 MB), total %d bytes: %.2f%% filled\n", m, t, 100 * t / m }'
