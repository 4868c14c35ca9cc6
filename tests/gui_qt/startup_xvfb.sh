#!/usr/bin/env bash
# ravlo3 without arguments on a display of its own: the window is up within a second and
# Alt+F4 closes it with exit code 0. Prints the start-up time of each of three starts.
# Usage: startup_xvfb.sh PREFIX WORKDIR   (PREFIX: an installed tree with bin/ravlo3)
set -euo pipefail

prefix=$(cd "${1:?usage: startup_xvfb.sh PREFIX WORKDIR}" && pwd)
work=${2:?usage: startup_xvfb.sh PREFIX WORKDIR}
rm -rf "$work"
mkdir -p "$work/config/ravlo3"
# Not the first run: the help page would open in a browser.
printf '[Ravlo3\\Options]\nFirstRun=Done\n' >"$work/config/ravlo3/settings.ini"
export XDG_CONFIG_HOME="$work/config"

# A display number of our own. Lock files in /tmp do not show servers of other sessions whose
# sockets share the abstract namespace, so a number counts as free only when no server answers.
xvfb=''
trap '[ -z "$xvfb" ] || { kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null || true; }' EXIT
for n in $(seq 57 99); do
  DISPLAY=":$n" xdotool getdisplaygeometry >/dev/null 2>&1 && continue
  # -noreset: a server that resets after each last client refuses the next one for a moment.
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -noreset 2>"$work/xvfb.log" &
  xvfb=$!
  for _ in $(seq 100); do
    kill -0 "$xvfb" 2>/dev/null || break
    DISPLAY=":$n" xdotool getdisplaygeometry >/dev/null 2>&1 && break
    sleep 0.05
  done
  if kill -0 "$xvfb" 2>/dev/null; then export DISPLAY=":$n"; break; fi
  wait "$xvfb" 2>/dev/null || true
  xvfb=''
done
[ -n "$xvfb" ] || { echo "FAILED: no display could be started" >&2; cat "$work/xvfb.log" >&2; exit 1; }
unset WAYLAND_DISPLAY QT_QPA_PLATFORM QT_SCALE_FACTOR

now() { date +%s%N; }
failures=0
for run in 1 2 3; do
  start=$(now)
  "$prefix/bin/ravlo3" >"$work/run$run.txt" 2>&1 &
  app=$!
  # Our own poll: search --sync checks only twice a second.
  id=''
  while [ -z "$id" ] && [ $(( ($(now) - start) / 1000000 )) -lt 10000 ]; do
    id=$(xdotool search --onlyvisible --name '^Ravlo v3\.0$' 2>/dev/null | head -n 1 || true)
    [ -n "$id" ] || sleep 0.01
  done
  ms=$(( ($(now) - start) / 1000000 ))
  if [ -z "$id" ]; then
    echo "FAILED: start $run: no window after $ms ms" >&2
    kill "$app" 2>/dev/null || true
    cat "$work/run$run.txt" >&2
    exit 1
  fi
  echo "start $run: window shown after $ms ms"
  [ "$ms" -le 1000 ] || { echo "FAILED: start $run took more than 1 s" >&2; failures=$((failures + 1)); }
  xdotool windowfocus --sync "$id"
  xdotool key --clearmodifiers alt+F4
  code=0
  for _ in $(seq 100); do kill -0 "$app" 2>/dev/null || break; sleep 0.05; done
  if kill -0 "$app" 2>/dev/null; then
    echo "FAILED: Alt+F4 did not close the window" >&2
    kill "$app"
    exit 1
  fi
  wait "$app" || code=$?
  [ "$code" -eq 0 ] || { echo "FAILED: exit code $code after Alt+F4" >&2; cat "$work/run$run.txt" >&2; exit 1; }
  echo "start $run: Alt+F4 closed it, exit code 0"
done
exit "$failures"
