#!/usr/bin/env bash
# Every test: installs what is missing, builds the presets and runs all their tests.
# The Windows programs are tested under Wine as the build this host can run (wine-env.sh):
# win32 where 32-bit code runs, else the test-only win64. The win32 programs are built on every
# host and checked against their shipped sizes, which needs no Wine.
# Ends with the Windows build exercised and each preset's CTest totals; exits non-zero on any
# failure.
set -uo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh || exit 1
source scripts/wine-env.sh || exit 1

jobs=$(nproc)
logs=build/test-logs
mkdir -p "$logs"
presets=(native native-asan win32)
[ "$RAVLO_WINE_PRESET" = win64 ] && presets+=(win64)
status=0
summary=()
for preset in "${presets[@]}"; do
  echo "=== $preset ==="
  log="$logs/$preset.txt"
  : >"$log"
  build=(cmake --build --preset "$preset" -j"$jobs")
  run=(ctest --preset "$preset" -j"$jobs")
  what=""
  if [ "$preset" = "$RAVLO_WINE_PRESET" ]; then
    # Wine programs, the window tests among them, get a virtual display.
    run=(xvfb-run -a -s "-screen 0 1280x1024x24" ctest --preset "$preset" -j1)
    what=" (under $RAVLO_WINE_BITS-bit Wine)"
  elif [ "$preset" = win32 ]; then
    # Not tested under Wine here: the shipped programs are built and their sizes checked.
    build+=(--target programs)
    run=(ctest --preset "$preset" -L size)
    what=" (shipped sizes only: $RAVLO_WINE_WHY)"
  fi
  if ! cmake --preset "$preset" >/dev/null || ! "${build[@]}"; then
    summary+=("$preset$what: BUILD FAILED")
    status=1
    continue
  fi
  "${run[@]}" 2>&1 | tee "$log"
  [ "${PIPESTATUS[0]}" -eq 0 ] || status=1
  totals=$(grep -E 'tests passed, [0-9]+ tests? failed out of' "$log" | tail -n 1)
  summary+=("$preset$what: ${totals:-no CTest totals (see $log)}")
done

echo
echo "=== Summary ==="
echo "Windows build exercised under Wine: $RAVLO_WINE_MACHINE (preset $RAVLO_WINE_PRESET; $RAVLO_WINE_WHY)"
printf '%s\n' "${summary[@]}"
printf 'Took %d:%02d. ' $((SECONDS / 60)) $((SECONDS % 60))
[ $status -eq 0 ] && echo "All green." || echo "FAILED."
exit $status
