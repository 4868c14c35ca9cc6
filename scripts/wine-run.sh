#!/usr/bin/env bash
# Runs a Windows program under Wine in the given 32-bit prefix: wine-run.sh PREFIX PROGRAM [ARGS...]
set -euo pipefail
export WINEPREFIX="$1"; shift
export WINEARCH=win32 WINEDEBUG=-all
exec wine "$@"
