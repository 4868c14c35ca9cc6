#!/usr/bin/env bash
# The Linux window as a user sees it: on an X server of its own (Xvfb) with a window manager
# (openbox), at scale 1 and 2, screenshots of the whole screen into build/native/screens:
#   video-xN.png      ravlo3 DISC: the Video page with the chain's picture, its crop and chapters
#   resized-xN.png    the same window made larger by the window manager
#   progress-xN/      the progress window during a correction and at the end, from the progress
#                     tests run on this display (their own grabs), and the screen at those moments
# Usage: scripts/linux_screens.sh [DISC]   (default: the road test disc, authored if missing)
# Needs Xvfb, openbox, xdotool and ImageMagick's import (scripts/install-deps.sh has all but
# openbox: apt-get install openbox).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
for tool in Xvfb openbox xdotool import; do
  command -v "$tool" >/dev/null || { echo "linux_screens.sh: $tool is not installed" >&2; exit 1; }
done
cmake --preset native >/dev/null
cmake --build --preset native -j"$(nproc)" >/dev/null
out="$root/build/native/screens"
rm -rf "$out"
mkdir -p "$out/config/ravlo3"
cmake --install build/native --prefix "$out/install" >/dev/null
printf '[Ravlo3\\Options]\nFirstRun=Done\n' >"$out/config/ravlo3/settings.ini"
export XDG_CONFIG_HOME="$out/config" XDG_CACHE_HOME="$out/cache"
disc=${1:-$root/build/native/discs/disc_r}
[ -e "$disc" ] || { (cd build/native && ctest -R ifoscan_author_discs >/dev/null); }
[ -e "$disc" ] || { echo "linux_screens.sh: no disc at $disc" >&2; exit 1; }

# A display of our own: a number counts as free only when no server answers on it.
xvfb='' wm=''
trap 'kill $wm $xvfb 2>/dev/null || true' EXIT
for n in $(seq 71 99); do
  DISPLAY=":$n" xdotool getdisplaygeometry >/dev/null 2>&1 && continue
  Xvfb ":$n" -screen 0 3200x2000x24 -nolisten tcp -noreset 2>"$out/xvfb.log" &
  xvfb=$!
  for _ in $(seq 100); do DISPLAY=":$n" xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.05; done
  if kill -0 "$xvfb" 2>/dev/null; then export DISPLAY=":$n"; break; fi
  xvfb=''
done
[ -n "$xvfb" ] || { echo "linux_screens.sh: no display could be started" >&2; exit 1; }
unset WAYLAND_DISPLAY QT_QPA_PLATFORM
openbox >"$out/openbox.log" 2>&1 &
wm=$!
sleep 1

# WaitFor NAME: the id of the first visible window of that name, within 20 s.
WaitFor() {
  for _ in $(seq 200); do
    xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 && return 0
    sleep 0.1
  done
  echo "linux_screens.sh: no window '$1' appeared" >&2
  return 1
}

for scale in 1 2; do
  QT_SCALE_FACTOR=$scale "$out/install/bin/ravlo3" "$disc" >"$out/ravlo3-x$scale.txt" 2>&1 &
  app=$!
  window=$(WaitFor "Ravlo v")
  # The picture is read in the background: a few seconds.
  sleep 6
  import -window root "$out/video-x$scale.png"
  xdotool windowsize "$window" $((1100 * scale)) $((760 * scale))
  sleep 1
  import -window root "$out/resized-x$scale.png"
  kill "$app" 2>/dev/null || true
  wait "$app" 2>/dev/null || true

  # The progress window on a stand-in job with a correction, grabbed by its own test, and the
  # screen taken every half second beside it.
  mkdir -p "$out/progress-x$scale"
  (
    for k in $(seq -w 1 60); do
      import -window root "$out/progress-x$scale/screen-$k.png" 2>/dev/null || true
      sleep 0.5
    done
  ) &
  shots=$!
  QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=$scale RAVLO_SCREENS="$out/progress-x$scale" \
    RAVLO_STANDIN="$root/tests/gui_qt/standin_project.sh" build/native/tests/gui_qt/qt_progress_test \
    >"$out/progress-x$scale/test.txt" 2>&1 || echo "linux_screens.sh: the progress test failed on this display (see $out/progress-x$scale/test.txt)" >&2
  kill "$shots" 2>/dev/null || true
  wait "$shots" 2>/dev/null || true
done
ls "$out"/*.png "$out"/progress-x1/progress_*.png
