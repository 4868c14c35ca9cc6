#!/usr/bin/env bash
# ifoscan on a full disk: a non-zero exit, the reason on stderr, and no report at all, neither
# a part nor an empty file. Needs a small file system of its own (root may mount a tmpfs);
# without one the test is skipped (exit 77).
# Usage: full_disk_test.sh IFOSCAN IFO
set -uo pipefail
ifoscan=$1 ifo=$2
disk=$(mktemp -d)
trap 'umount "$disk" 2>/dev/null; rmdir "$disk"' EXIT
if ! mount -t tmpfs -o size=8k tmpfs "$disk" 2>/dev/null; then
  echo "SKIP: cannot mount a small file system here"
  exit 77
fi
failures=0
# Fill the disk, then leave less room than a report takes.
head -c 1000000 /dev/zero > "$disk/filler" 2>/dev/null
truncate -s -100 "$disk/filler"
"$ifoscan" "$ifo" "$disk/report.txt" 2> "$disk/../ifoscan.err.$$"; code=$?
reason=$(cat "$disk/../ifoscan.err.$$"); rm -f "$disk/../ifoscan.err.$$"
[ "$code" -ne 0 ] || { echo "FAIL: exit code 0 on a full disk"; failures=$((failures + 1)); }
[ ! -e "$disk/report.txt" ] || { echo "FAIL: a report of $(wc -c < "$disk/report.txt") bytes was left"; failures=$((failures + 1)); }
[[ "$reason" == *"report.txt: cannot write the report: No space left on device"* ]] ||
  { echo "FAIL: reason was: $reason"; failures=$((failures + 1)); }
# With room again, the same call writes the whole report.
rm -f "$disk/filler"
"$ifoscan" "$ifo" "$disk/report.txt" && [ -s "$disk/report.txt" ] ||
  { echo "FAIL: no report with room on the disk"; failures=$((failures + 1)); }
[ "$failures" -eq 0 ] && echo "ifoscan on a full disk: all cases passed"
exit $((failures > 0))
