#!/usr/bin/env bash
# Times ifoscan on sample disc (a) against lsdvd -x (libdvdread) on the same disc, native
# programs, median of several runs each. Usage: bench_ifoscan.sh [BUILD_DIR] [RUNS]
# BUILD_DIR (default build/bench-ifoscan) gets an optimised native build of ifoscan, as
# lsdvd is one, and the sample discs.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/bench-ifoscan}
runs=${2:-9}
ifoscan="$build/src/ifoscan/ifoscan"
cmake --preset native -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" -j2 --target ifoscan >/dev/null
command -v lsdvd >/dev/null || { echo "bench_ifoscan.sh: lsdvd is not installed" >&2; exit 1; }
"$root/tests/fixtures/make_discs.sh" "$build/discs"
disc="$build/discs/disc_a"
report=$(mktemp)
trap 'rm -f "$report"' EXIT

# Both programs run for a few milliseconds, mostly process start, so one sample is the mean
# of a batch of runs; samples alternate between the two, so that load from other work on the
# machine hits both alike.
batch=20
SampleMicros() {
  local start end
  start=$(date +%s%N)
  for ((k = 0; k < batch; k++)); do "$@" >/dev/null 2>&1 || true; done
  end=$(date +%s%N)
  echo $(((end - start) / 1000 / batch))
}
Median() { printf '%s\n' "$@" | sort -n | sed -n "$(($# / 2 + 1))p"; }

"$ifoscan" "$disc/VIDEO_TS/VTS_01_0.IFO" "$report" || { echo "bench_ifoscan.sh: ifoscan failed" >&2; exit 1; }
lsdvd -x "$disc" >/dev/null 2>&1 || true
oursAll=() theirsAll=()
for ((i = 0; i < runs; i++)); do
  oursAll+=("$(SampleMicros "$ifoscan" "$disc/VIDEO_TS/VTS_01_0.IFO" "$report")")
  theirsAll+=("$(SampleMicros lsdvd -x "$disc")")
done
ours=$(Median "${oursAll[@]}")
theirs=$(Median "${theirsAll[@]}")
printf 'IFO analysis of sample disc (a), median of %d samples of %d runs each:\n' "$runs" "$batch"
printf '  ifoscan   %6d us\n' "$ours"
printf '  lsdvd -x  %6d us\n' "$theirs"
if ((ours > theirs)); then
  echo "  ifoscan is slower than lsdvd -x"
  exit 1
fi
echo "  ifoscan is not slower than lsdvd -x"
