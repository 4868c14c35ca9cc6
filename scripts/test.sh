#!/usr/bin/env bash
# Every test: installs what is missing, builds the three presets and runs all their tests.
# Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

jobs=$(nproc)
status=0
for preset in native native-asan win32; do
  echo "=== $preset ==="
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j"$jobs"
  if [ "$preset" = win32 ]; then
    # Wine programs, the window tests among them, get a virtual display.
    xvfb-run -a -s "-screen 0 1280x1024x24" ctest --preset "$preset" -j1 || status=1
  else
    ctest --preset "$preset" -j"$jobs" || status=1
  fi
done
exit $status
