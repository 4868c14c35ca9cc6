#!/usr/bin/env bash
# The series disc (tests/fixtures/make_episodes_disc.sh) read as a player reads it: lsdvd sees
# four titles, the fourth as long as the other three; vobtitle's stream of chain 4 is the three
# episodes' streams, pack for pack; ifoscan lists the chains and, as the episodes of this short
# disc last less than 5 minutes, finds none and says why.
# Usage: episodes_disc_test.sh IFOSCAN VOBTITLE DISCS_DIR SECONDS
set -euo pipefail
ifoscan=$1 vobtitle=$2 disc="$3/disc_e" secs=$4
((secs < 100)) || { echo "episodes_disc_test.sh: for a disc whose play all lasts less than 5 minutes" >&2; exit 2; }
ifo="$disc/VIDEO_TS/VTS_01_0.IFO"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
Fail() { echo "FAIL [$what]: $*" >&2; failures=$((failures + 1)); }
Hms() { printf '%d:%02d:%02d' $(($1 / 3600)) $(($1 / 60 % 60)) $(($1 % 60)); }
Near() { awk -v a="$1" -v b="$2" -v d="$3" 'BEGIN { exit !(a - b <= d && b - a <= d) }'; }

what=lsdvd
lsdvd "$disc" 2>/dev/null >"$work/lsdvd" || Fail "lsdvd cannot read the disc"
mapfile -t lengths < <(sed -n 's/^Title: [0-9]*, Length: \([0-9:.]*\) .*/\1/p' "$work/lsdvd" |
                       awk -F: '{ print $1 * 3600 + $2 * 60 + $3 }')
if [[ ${#lengths[@]} != 4 ]]; then
  Fail "${#lengths[@]} titles, expected 4"
else
  sum=$(awk -v a="${lengths[0]}" -v b="${lengths[1]}" -v c="${lengths[2]}" 'BEGIN { print a + b + c }')
  Near "${lengths[3]}" "$sum" 0.001 || Fail "title 4 lasts ${lengths[3]} s, titles 1 to 3 together $sum s"
  for t in 0 1 2; do Near "${lengths[$t]}" "$secs" 0.5 || Fail "title $((t + 1)) lasts ${lengths[$t]} s, not $secs"; done
fi

what="play all"
for chain in 1 2 3 4; do
  "$vobtitle" "$ifo" "$chain" 1 --stream "$work/$chain.vob" || Fail "vobtitle chain $chain: exit code $?"
done
# Where the clock restarts between episodes vobtitle moves it on, so the packs match but for
# their time stamps; the first episode's must not move at all.
if shifts=$(python3 "$(dirname "$0")/packs_match.py" "$work/4.vob" "$work/1.vob" "$work/2.vob" "$work/3.vob"); then
  [[ ${shifts%% *} == 0 ]] || Fail "the first episode's clock moved: shifts $shifts"
else
  Fail "chain 4 is not chains 1, 2 and 3"
fi
duration=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$work/4.vob")
Near "$duration" $((3 * secs)) 0.5 || Fail "chain 4's stream lasts $duration s, not $((3 * secs))"

what="ifoscan --list"
"$ifoscan" --list "$disc" >"$work/list" || Fail "exit code $?"
streams="audio 0x80 English; subtitles 0x20 English"
expected="title set 1, chain 1: $(Hms "$secs"), 2 chapters; $streams
title set 1, chain 2: $(Hms "$secs"), 2 chapters; $streams
title set 1, chain 3: $(Hms "$secs"), 2 chapters; $streams
title set 1, chain 4: $(Hms $((3 * secs))), 6 chapters; $streams (main feature)"
[[ "$(cat "$work/list")" == "$expected" ]] || Fail "listed
$(cat "$work/list")
expected
$expected"

what="ifoscan --episodes"
for args in "$disc" "--title-set 1 $disc" "$ifo"; do
  status=0
  # shellcheck disable=SC2086 # the arguments are split on purpose
  "$ifoscan" --episodes $args >"$work/out" 2>"$work/err" || status=$?
  [[ $status == 1 && ! -s "$work/out" ]] || Fail "$args: exit code $status, printed '$(cat "$work/out")'"
  [[ "$(cat "$work/err")" == "ifoscan: ${args##* }: title set 1 has no episodes: no chain lasts 5 to 90 minutes" ]] ||
    Fail "$args: said '$(cat "$work/err")'"
done

((failures == 0)) || { echo "$failures failure(s)" >&2; exit 1; }
echo "episodes disc: 4 titles, chain 4 plays chains 1 to 3 (clock shifts $shifts), no episodes of ${secs} s"
