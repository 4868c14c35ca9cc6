#!/usr/bin/env bash
# Every timing figure of the project, each against its yardstick:
#   start-up of the installed Ravlo3.exe --dump against trivial static Win32 programs (under
#   Wine), with the sizes of the shipped (stripped) programs beside,
#   ifoscan against lsdvd -x on sample disc (a) (native),
#   vobtitle --stream of a large chain against cat of the same VOB files (native),
#   brimmer.exe in folders of 0 to 10,000 audio files against a trivial program (under Wine).
# Usage: scripts/bench.sh   (builds the Windows preset this host tests if needed: wine-env.sh)
set -uo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
source scripts/wine-env.sh
windows=$RAVLO_WINE_PRESET
cmake --preset $windows >/dev/null && cmake --build --preset $windows -j"$(nproc)" >/dev/null || exit 1

status=0
echo "== Start-up =="
scripts/bench_startup.sh build/$windows || status=1
echo "== IFO reading =="
scripts/bench_ifoscan.sh || status=1
echo "== Title reading =="
scripts/bench_vobtitle.sh || status=1
echo "== Second-pass size =="
scripts/bench_brimmer.sh build/$windows || status=1
exit $status
