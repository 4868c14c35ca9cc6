#!/usr/bin/env bash
# The native ravlo3 as a Linux command: names are names (a backslash is a character of a
# name, never a separator; "*", "?" and quotation marks are taken), a failed open says the
# system's reason and ends the run with exit code 1, the first refused action ends the run
# before any save, the named options' refusals speak of the disc's streams as the user wrote
# them, a disc path alone lists the disc, a medium is checked against the title's length, and a
# folder holding another plan's results is refused.
# Usage: native_cli_test.sh BUILD_DIR DISCS_DIR
set -uo pipefail

source "$(dirname "$0")/road_lib.sh"
RoadStart native_cli "$@" || exit 1
ravlo3="$prefix/bin/ravlo3"
disc="$discs/disc_r/VIDEO_TS"

Fail() { echo "FAILED: $*" >&2; failures=$((failures + 1)); }
# Run NAME ARGS...: ravlo3 in $work; its output in NAME.out / NAME.err, exit code in $code.
Run() {
  local name=$1; shift
  (cd "$work" && "$ravlo3" "$@" >"$work/$name.out" 2>"$work/$name.err")
  code=$?
}
ExpectCode() {  # ExpectCode NAME WANTED
  [ "$code" -eq "$2" ] || Fail "$1: exit code $code, not $2: $(cat "$work/$1.err")"
}
Has() { grep -qF -- "$2" "$work/$1" || Fail "$1 lacks: $2 ($(cat "$work/$1"))"; }

# --- a failed open: the system's reason, exit code 1, nothing saved -----------------------
mkdir -p "$work/locked"
cp "$disc/VTS_01_0.IFO" "$work/locked/VTS_01_0.IFO"
chmod 000 "$work/locked/VTS_01_0.IFO"
opens=("/nonexistent/VTS_01_0.IFO|No such file or directory"
       "$disc/VTS_01_0.IFO/x|Not a directory")
# root reads whatever the permissions say
[ "$(id -u)" -ne 0 ] && opens+=("$work/locked/VTS_01_0.IFO|Permission denied")
for entry in "${opens[@]}"; do
  path=${entry%|*} reason=${entry##*|}
  Run open --open "$path" --chain 1 --save "$work/never"
  ExpectCode open 1
  [ "$(cat "$work/open.err")" = "$path cannot be opened: $reason." ] ||
    Fail "failed open of $path said: $(cat "$work/open.err")"
  [ ! -e "$work/never" ] || Fail "a failed open of $path still saved"
done
# Arguments that are really wrong keep exit code 2, in the program's own name.
for args in "--open" "--chain x" "--click noSuchField"; do
  Run args $args
  ExpectCode args 2
  grep -q '^ravlo3: .*(ravlo3 --help lists the' "$work/args.err" || Fail "$args said: $(cat "$work/args.err")"
done

# --- names are names ----------------------------------------------------------------------
# "P/base\..\victim" is one folder inside P, never P/victim.
mkdir -p "$work/P/victim" "$work/P/base"  # with base there, a backslash taken as a separator reaches victim
echo sentinel >"$work/P/victim/project.sh"
Run traversal --open "$disc/VTS_01_0.IFO" --chain 2 --audio 0x80 --size 2 --save 'P/base\..\victim'
ExpectCode traversal 0
[ "$(cat "$work/P/victim/project.sh")" = sentinel ] || Fail "P/victim/project.sh was overwritten"
[ -f "$work/P/base\\..\\victim/project.sh" ] || Fail "no project in the folder named base\\..\\victim"
Has traversal.out "Script: $work/P/base\\..\\victim/project.sh"

# Disc folders whose names hold a backslash or the characters Windows refuses.
for folder in 'bs\x' 'a*b?"c"'; do
  mkdir -p "$work/$folder"
  ln -s "$disc" "$work/$folder/VIDEO_TS"
  ifo="$work/$folder/VIDEO_TS/VTS_01_0.IFO"
  rm -rf "$work/proj"
  Run odd --open "$ifo" --chain 2 --audio 0x80 --size 2 --save "$work/proj"
  ExpectCode odd 0
  grep -qxF "ifo='$ifo'" "$work/proj/project.sh" || Fail "project.sh of $folder: $(grep '^ifo=' "$work/proj/project.sh")"
done
[ ! -e "$work/bs" ] || Fail "bs\\x was taken as bs/x"
# The helper reads the title through the same name.
"$prefix/bin/vobtitle" "$work/bs\\x/VIDEO_TS/VTS_01_0.IFO" 2 1 --stream "$work/chain2.vob" ||
  Fail "vobtitle cannot read the disc in bs\\x"
[ -s "$work/chain2.vob" ] || Fail "vobtitle wrote nothing from bs\\x"

# --- the first refused action ends the run: nothing saved -----------------------------------
refusals=("author|It must be 17 characters long|--author|too.short"
          "tiny|Media size: \"0.0001\"|--size|0.0001"
          "tinier|Media size: \"1e-300\"|--set|cmbMS=1e-300")
for entry in "${refusals[@]}"; do
  IFS='|' read -r name said option value <<<"$entry"
  Run "$name" --open "$disc/VTS_01_0.IFO" --chain 2 --audio 0x80 --size 2 "$option" "$value" \
    --save "$work/$name"
  ExpectCode "$name" 1
  Has "$name.err" "$said"
  [ ! -e "$work/$name/project.sh" ] || Fail "$name: saved after the refusal"
done

# --- the named options speak of the disc, never of the fields they act on ------------------
# OPTIONS|what ravlo3 says (exit code 2, nothing saved)
named=("--open $disc/VTS_01_0.IFO --audio 0x82|ravlo3: --audio: the title has no audio stream 0x82 (it has 0x80, 0x81)"
       "--open $disc/VTS_01_0.IFO --audio 0x81 --subtitles 0x20,0x2F|ravlo3: --subtitles: the title has no subtitle stream 0x2F (it has 0x20, 0x21)"
       "--audio 0x80 --open $disc/VTS_01_0.IFO|ravlo3: --audio: no disc is open yet (name it with --open before --audio)")
for entry in "${named[@]}"; do
  options=${entry%%|*} said=${entry#*|}
  # shellcheck disable=SC2086 # the options are words
  Run named $options --size 700 --save "$work/named"
  ExpectCode named 2
  [ "$(cat "$work/named.err")" = "$said" ] || Fail "$options said: $(cat "$work/named.err"), not: $said"
  [ ! -e "$work/named" ] || Fail "$options: saved after the refusal"
done

# --- a disc alone: without a desktop, its chains as --list prints them ---------------------
Run list --list "$disc"
ExpectCode list 0
(cd "$work" && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$ravlo3" "$disc" >"$work/alone.out" 2>"$work/alone.err")
code=$?
ExpectCode alone 0
[ -s "$work/alone.out" ] && cmp -s "$work/list.out" "$work/alone.out" ||
  Fail "ravlo3 PATH printed: $(cat "$work/alone.out" "$work/alone.err"), not: $(cat "$work/list.out")"

# --- the medium against the title (chain 2: 12 s of PAL 16:9, resized, MP3 at 128 kbit/s) --------
# Too small for the title: refused, naming the smallest that works; nothing saved.
Run small --open "$disc/VTS_01_0.IFO" --chain 2 --audio 0x80 --size 0.3 --save "$work/small"
ExpectCode small 1
Has small.err 'Media size: "0.3" cannot go into the project.'
Has small.err "the smallest medium that works is 0.37 MB."
[ ! -e "$work/small/project.sh" ] || Fail "saved on a medium too small for the title"
# More than the title can fill: said as information, and the script that named the size gets it.
Run low --open "$disc/VTS_01_0.IFO" --chain 2 --audio 0x80 --size 700 --save "$work/low"
ExpectCode low 0
Has low.out "The title cannot fill the medium of 700 MB: even at the best quality its 0:12 take about 21.26 MB at most."
Has low.out "Expect a fill of 3% at most"
[ -s "$work/low/project.sh" ] || Fail "a low fill was not saved"
grep -qx "medium_mb='700'" "$work/low/project.sh" || Fail "the saved medium: $(grep '^medium_mb=' "$work/low/project.sh")"

# --- another plan's results -------------------------------------------------------------------
mkdir -p "$work/stale"
echo earlier >"$work/stale/0x81.mp3"
Run stale --open "$disc/VTS_01_0.IFO" --chain 2 --audio 0x80 --size 2 --video xvid --container avi --save "$work/stale"
ExpectCode stale 1
Has stale.err "$work/stale/ holds result files that this plan does not make:"
Has stale.err "  0x81.mp3"
[ ! -e "$work/stale/project.sh" ] || Fail "saved beside another plan's results"

# --- a desktop that cannot be reached: the help and the reason, not Qt's abort ---------------
# Only a build with the window has one to open.
if ldd "$ravlo3" | grep libQt6Widgets >/dev/null; then
  for entry in "DISPLAY=:99|could not connect to display :99" \
               "WAYLAND_DISPLAY=nowhere|wayland" "QT_QPA_PLATFORM=nonesuch|nonesuch"; do
    setting=${entry%%|*} said=${entry#*|}
    (cd "$work" && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$setting" "$ravlo3" \
       >"$work/nowindow.out" 2>"$work/nowindow.err")
    code=$?
    ExpectCode nowindow 2
    Has nowindow.out "Usage: ravlo3"
    Has nowindow.err "ravlo3: the window cannot open: "
    Has nowindow.err "$said"
  done
fi
[ "$failures" -eq 0 ] && echo "native_cli: all passed"
exit $((failures > 0))
