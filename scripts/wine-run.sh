#!/usr/bin/env bash
# Runs a Windows program under the Wine this host uses (see wine-env.sh), in the given prefix:
# wine-run.sh PREFIX PROGRAM [ARGS...]
set -euo pipefail
source "$(dirname "$0")/wine-env.sh" "$1"
shift
exec "$RAVLO_WINE" "$@"
