#!/usr/bin/env bash
# brimmer.exe under Wine on real folders, started the ways the batch and a user would start it.
# Usage: brimmer_wine_test.sh BRIMMER_EXE   (WINEPREFIX and RAVLO_BUILD come from CTest)
set -uo pipefail
source "$(dirname "$0")/../../scripts/wine-env.sh"  # the Wine this build needs
exe="$1"
work="$RAVLO_BUILD/tests/brimmer/wine-folders"
failures=0

cleanup() { chattr -i "$work"/*/2nd.reg 2>/dev/null || true; }
cleanup
rm -rf "$work" && mkdir -p "$work"
trap cleanup EXIT

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# expect_reg FOLDER WHAT BEGINNING HEX...: 2nd.reg must be BEGINNING followed by one
# desired_size line per HEX, byte for byte.
expect_reg() {
  local folder="$1" what="$2" beginning="$3"; shift 3
  { printf '%s' "$beginning"; for hex in "$@"; do printf '"desired_size"=dword:%s\r\n' "$hex"; done; } \
    > "$folder/expected.reg"
  if ! cmp -s "$folder/expected.reg" "$folder/2nd.reg"; then
    fail "$what: 2nd.reg is"; od -c "$folder/2nd.reg"
  fi
}
new_folder() { mkdir -p "$work/$1" && cp "$exe" "$work/$1/brimmer.exe"; }
sized() { truncate -s "$2" "$1"; }
template=$'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\GNU\\XviD]\r\n"mode"=dword:00000002\r\n'

# 1. No 2nd.reg yet, empty folder, started from another working folder: the program's own
#    folder is measured and 2nd.reg is created there.
new_folder empty
(cd "$work" && timeout 60 "$RAVLO_WINE" "$work/empty/brimmer.exe" 699) || fail "empty: exit code $?"
expect_reg "$work/empty" "empty folder" "" AEC00

# 2. A project folder with blanks in its name, as the batch starts it. Counted: every .ac3,
#    .mp3, .ogg in any letter case, movie.rar and movie.idx. Not counted: the rest.
p="$work/My Project"
new_folder "My Project"
printf '%s' "$template" > "$p/2nd.reg"
sized "$p/0x80o.ac3" 1000; sized "$p/0x81.AC3" 2000000; sized "$p/TRACK.MP3" 3000
sized "$p/0x82.Ogg" 4000; sized "$p/movie.rar" 50000; sized "$p/MOVIE.IDX" 6000
for other in movie.avi 0x80o.wav 0x80.log movie.sub project.d2v x.mp3x subparam; do
  sized "$p/$other" 10000000
done
mkdir -p "$p/extra.mp3" && sized "$p/extra.mp3/inside.mp3" 10000000
# 2064000 bytes = 2015.625 KB -> 2016; 715776 - 2016 = 713760 = AE420.
(cd "$p" && timeout 60 "$RAVLO_WINE" cmd /c "START /w brimmer.exe 699") || fail "project: exit code $?"
expect_reg "$p" "project folder" "$template" AE420
# A second run appends a second line and keeps the first.
(cd "$p" && timeout 60 "$RAVLO_WINE" brimmer.exe 699.5) || fail "project, second run: exit code $?"
expect_reg "$p" "second run" "$template" AE420 AE620

# 3. Sizes brimmer cannot stand behind: more audio than media, no number, no argument. Each
#    leaves 2nd.reg as it was, adds its reason to log.txt and ends with exit code 1.
new_folder short
sized "$work/short/0x80.mp3" 5120
for args in "0.001" "abc" ""; do
  (cd "$work/short" && timeout 60 "$RAVLO_WINE" brimmer.exe $args); code=$?
  [ "$code" -eq 1 ] || fail "short, argument '$args': exit code $code, expected 1"
done
[ -e "$work/short/2nd.reg" ] && fail "short: 2nd.reg was written"
[ "$(grep -c '^brimmer: no second-pass size was written: ' "$work/short/log.txt")" -eq 3 ] \
  || { fail "short: log.txt does not hold three reasons"; cat "$work/short/log.txt"; }
grep -q 'leave no room for the video' "$work/short/log.txt" || fail "short: no room reason missing"

# 4. A read-only 2nd.reg: nothing is written, the reason is logged, the exit code is 1.
#    Wine maps the read-only attribute to Unix permissions, which do not stop root; the
#    immutable flag does, so it is added where the file system allows it.
ro="$work/readonly"
new_folder readonly
printf '%s' "$template" > "$ro/2nd.reg"
(cd "$ro" && timeout 60 "$RAVLO_WINE" cmd /c attrib +r 2nd.reg >/dev/null 2>&1)
chattr +i "$ro/2nd.reg" 2>/dev/null
if (cd "$ro" && timeout 60 "$RAVLO_WINE" cmd /c "echo x>>2nd.reg" >/dev/null 2>&1) \
   && [ "$(wc -c < "$ro/2nd.reg")" -ne "${#template}" ]; then
  echo "SKIP read-only 2nd.reg: Wine can still append to it here"
else
  (cd "$ro" && timeout 60 "$RAVLO_WINE" brimmer.exe 699); code=$?
  [ "$code" -eq 1 ] || fail "read-only: exit code $code, expected 1"
  expect_reg "$ro" "read-only 2nd.reg" "$template"
  grep -q '2nd.reg cannot be appended to' "$ro/log.txt" || fail "read-only: no reason in log.txt"
fi

[ "$failures" -eq 0 ] && echo "brimmer under Wine: all cases passed"
exit $((failures > 0))
