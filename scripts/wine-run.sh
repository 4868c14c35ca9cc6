#!/usr/bin/env bash
# Runs a Windows program under the Wine this host uses (see wine-env.sh), in the given prefix:
# wine-run.sh PREFIX PROGRAM [ARGS...]
set -euo pipefail
export WINEPREFIX="$1"
source "$(dirname "$0")/wine-env.sh"
shift
exec "$RAVLO_WINE" "$@"
