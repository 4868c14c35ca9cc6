#!/usr/bin/env bash
# project.sh on a full disk: chain 2 of the authored disc (r) saved into a small tmpfs, sized
# so that the room runs out in the Analysis stage (the title's stream), in the Audio stage
# and in the first video pass (which keeps the trailing segment's frames). Each run must fail
# in that stage with the tool's own reason ("No space left on device", which ffmpeg can report
# and still end with 0) and leave no
# result file. Needs root (or the right to mount); exits 77 (skipped) where it cannot mount.
# Usage: road_full_disk_test.sh BUILD_DIR DISCS_DIR
set -euo pipefail

build=$(cd "${1:?usage: road_full_disk_test.sh BUILD_DIR DISCS_DIR}" && pwd)
discs=$(cd "${2:?usage: road_full_disk_test.sh BUILD_DIR DISCS_DIR}" && pwd)
work="$build/road_full_disk"
disk="$work/disk"
umount "$disk" 2>/dev/null || true
rm -rf "$work"
mkdir -p "$disk"
if ! mount -t tmpfs -o size=1m tmpfs "$disk" 2>/dev/null; then
  echo "skipped: a tmpfs cannot be mounted here"
  exit 77
fi
umount "$disk"
trap 'umount "$disk" 2>/dev/null || true' EXIT
prefix="$work/install"
cmake --install "$build" --prefix "$prefix" >/dev/null
export XDG_CONFIG_HOME="$work/config"
export RAVLO3_XVID_OPTIONS="-me_quality 2"
ifo="$discs/disc_r/VIDEO_TS/VTS_01_0.IFO"

failures=0
Check() {  # Check DESCRIPTION COMMAND...
  local what=$1; shift
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what" >&2; failures=$((failures + 1)); fi
}

# The title's stream decides where the room runs out: the audio (192 KB) and the video
# (about 1.8 MB for the 2 MB medium) come after it.
"$prefix/bin/vobtitle" "$ifo" 2 1 --stream "$work/movie.vob" >/dev/null
vob=$(stat -c %s "$work/movie.vob")
rm -f "$work/movie.vob"

Full() {  # Full STAGE BYTES: a run in a tmpfs of BYTES fails in STAGE
  local stage=$1 bytes=$2 p="$disk/p" status=0 left
  mount -t tmpfs -o size="$bytes" tmpfs "$disk"
  "$prefix/bin/ravlo3" --open "$ifo" --chain 2 --audio 0x80 --format mp3 --quality 128 --size 2 --video xvid --container avi \
    --save "$p" >/dev/null
  "$p/project.sh" >"$work/run.txt" 2>&1 || status=$?
  Check "$stage ($bytes bytes): project.sh fails" test "$status" = 1
  Check "$stage ($bytes bytes): the failure names the stage and the reason" \
    grep -q "^project.sh: $stage failed: .*No space left on device" "$work/run.txt"
  Check "$stage ($bytes bytes): log.txt says so" grep -q "^$stage failed: " "$p/log.txt"
  left=$(cd "$p" && ls -- *.mp3 movie.avi* *.part 2>/dev/null | tr '\n' ' ' || true)
  Check "$stage ($bytes bytes): no result is left ($left)" test -z "$left"
  [[ $stage != Analysis ]] ||
    Check "the title's stream: vobtitle's reason is in analysis.log" grep -q 'No space left on device' "$p/analysis.log"
  [[ $failures -eq 0 ]] || cat "$work/run.txt" >&2
  umount "$disk"
}
Full Analysis $((vob / 2))
Full Audio $((vob + 64 * 1024))
# The first pass keeps the frames the trailing segment may come from (losslessly, several MB
# for this noisy title): 1 MB beside the stream runs out there.
Full "Video 1st pass" $((vob + 1024 * 1024))

[[ $failures -eq 0 ]] || { echo "$failures check(s) failed" >&2; exit 1; }
echo "all checks passed"
