#!/usr/bin/env bash
# wine-prefix.sh start|stop PREFIX
# start: creates the 32-bit prefix if needed and keeps one wineserver alive for the test run.
# stop:  ends that wineserver, so that nothing outlives the run.
set -euo pipefail
action="$1"
export WINEPREFIX="$2" WINEARCH=win32 WINEDEBUG=-all
case "$action" in
  start)
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      mkdir -p "$WINEPREFIX"
      # No Mono/Gecko prompts: the tests need neither.
      WINEDLLOVERRIDES="mscoree=;mshtml=" wineboot -i </dev/null >/dev/null 2>&1
    fi
    # The server and the helpers Wine starts must not hold the caller's output open:
    # CTest waits for every writer of a test's output to go away.
    wineserver -p </dev/null >/dev/null 2>&1 || true  # already running: fine
    wine cmd /c exit 0 </dev/null >/dev/null 2>&1
    ;;
  stop)
    wineserver -k 2>/dev/null || true
    ;;
  *) echo "usage: wine-prefix.sh start|stop PREFIX" >&2; exit 2 ;;
esac
