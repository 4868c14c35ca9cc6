#!/usr/bin/env bash
# wine-prefix.sh start|stop PREFIX
# start: creates the prefix (32- or 64-bit, as wine-env.sh chose) if needed and keeps one
#        wineserver alive for the test run.
# stop:  ends that wineserver, so that nothing outlives the run.
set -euo pipefail
action="$1"
export WINEPREFIX="$2"
source "$(dirname "$0")/wine-env.sh"
case "$action" in
  start)
    # The server and the helpers Wine starts must not hold the caller's output open:
    # CTest waits for every writer of a test's output to go away. So all output goes to a log,
    # shown only when the prefix cannot be made to work.
    log="$(dirname "$WINEPREFIX")/$(basename "$WINEPREFIX").log"
    for attempt in 1 2; do
      # Wine writes system.reg only some time after wineboot; our own mark says the prefix
      # has been made and has run a program.
      if [ ! -f "$WINEPREFIX/.ravlo-ready" ]; then
        mkdir -p "$WINEPREFIX"
        # No Mono/Gecko prompts: the tests need neither.
        WINEDLLOVERRIDES="mscoree=;mshtml=" "$RAVLO_WINE" wineboot -i </dev/null >>"$log" 2>&1 || true
      fi
      "$WINESERVER" -p </dev/null >>"$log" 2>&1 || true  # already running: fine
      if "$RAVLO_WINE" cmd /c exit 0 </dev/null >>"$log" 2>&1; then
        touch "$WINEPREFIX/.ravlo-ready"
        exit 0
      fi
      echo "wine-prefix.sh: attempt $attempt to start $WINEPREFIX failed" >&2
      "$WINESERVER" -k 2>/dev/null || true
      sleep 1
    done
    cat "$log" >&2
    exit 1
    ;;
  stop)
    "$WINESERVER" -k 2>/dev/null || true
    ;;
  *) echo "usage: wine-prefix.sh start|stop PREFIX" >&2; exit 2 ;;
esac
