#!/usr/bin/env bash
# Start-up cost of the planner: wall time of "Ravlo3.exe --dump" against a trivial static
# Win32 program in the same Wine prefix (median of several runs, one wineserver kept alive).
# The planner runs from an installed folder (`cmake --install`: the stripped programs the zip
# ships) whose tools are in place (xt.txt exists) and after its first start, which is the state
# every later start of a user's installation is in. The shipped sizes are printed beside.
# Usage: bench_startup.sh [BUILD_DIR]   (a built Windows preset for the Wine wine-env.sh
#        chooses; default build/win32, or build/win64 where 32-bit Wine cannot run)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/wine-env.sh
build=$(realpath "${1:-build/$RAVLO_WINE_PRESET}")
ravlo="$build/src/app/Ravlo3.exe"
trivial="$build/tests/brimmer/brimmer_bench_baseline.exe"
trivial_gui="$build/tests/bench/trivial_gui.exe"
for f in "$ravlo" "$trivial" "$trivial_gui"; do
  [ -f "$f" ] || { echo "bench_startup.sh: $f is missing; build the $RAVLO_WINE_PRESET preset first" >&2; exit 1; }
done

install="$build/bench-install"
rm -rf "$install"
cmake --install "$build" --prefix "$install" >/dev/null
touch "$install/tools/xt.txt"
ravlo="$install/Ravlo3.exe"

export WINEPREFIX="$build/bench-prefix"
scripts/wine-prefix.sh start "$WINEPREFIX"
trap 'scripts/wine-prefix.sh stop "$WINEPREFIX"' EXIT
"$RAVLO_WINE" reg add 'HKCU\Software\Ravlo3\Options' /v FirstRun /d Done /f >/dev/null 2>&1

runs=9
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
measure() {
  "$RAVLO_WINE" "$@" >/dev/null 2>&1 || true  # warm-up; also settles the first-run help page
  for _ in $(seq $runs); do
    local start end
    start=$(date +%s%N)
    "$RAVLO_WINE" "$@" >/dev/null 2>&1 || true
    end=$(date +%s%N)
    echo $(((end - start) / 1000))
  done | median
}

ravlo_us=$(measure "$ravlo" --dump)
trivial_us=$(measure "$trivial")
gui_us=$(measure "$trivial_gui")
awk -v r="$ravlo_us" -v t="$trivial_us" -v g="$gui_us" 'BEGIN {
  printf "medians of 9 runs under Wine, one wineserver kept alive:\n"
  printf "  Ravlo3.exe --dump:                             %6.1f ms\n", r / 1000
  printf "  trivial static program (kernel32 only):        %6.1f ms  ratio %.2f\n", t / 1000, r / t
  printf "  trivial static program using user32 (windows): %6.1f ms  ratio %.2f\n", g / 1000, r / g }'
echo "shipped sizes (stripped, as installed and zipped):"
for program in Ravlo3.exe misc/brimmer.exe misc/ifoscan.exe misc/vobtitle.exe; do
  [ -f "$install/$program" ] || continue
  awk -v p="$program" -v s="$(stat -c %s "$install/$program")" \
    'BEGIN { printf "  %-18s %9d bytes  %7.1f KB\n", p, s, s / 1024 }'
done
