#!/usr/bin/env bash
# Every timing figure of the project, each against its yardstick:
#   start-up of the installed Ravlo3.exe --dump against trivial static Win32 programs (under
#   Wine), with the sizes of the shipped (stripped) programs beside,
#   ifoscan against lsdvd -x on sample disc (a) (native),
#   vobtitle --stream of a large chain against cat of the same VOB files (native),
#   brimmer.exe in folders of 0 to 10,000 audio files against a trivial program (under Wine).
# Usage: scripts/bench.sh   (builds the win32 preset if needed)
set -uo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset win32 >/dev/null && cmake --build --preset win32 -j"$(nproc)" >/dev/null || exit 1

status=0
echo "== Start-up =="
scripts/bench_startup.sh build/win32 || status=1
echo "== IFO reading =="
scripts/bench_ifoscan.sh || status=1
echo "== Title reading =="
scripts/bench_vobtitle.sh || status=1
echo "== Second-pass size =="
scripts/bench_brimmer.sh build/win32 || status=1
exit $status
