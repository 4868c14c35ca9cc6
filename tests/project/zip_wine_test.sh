#!/usr/bin/env bash
# Makes the distribution zip with CPack, unpacks it into a fresh folder, checks that it holds
# exactly the installed tree, adds the tools and saves a project of sample disc (a) from there.
# Usage: zip_wine_test.sh BUILD_DIR DISCS_DIR
set -euo pipefail
build=$1 discs=$2
source "$(dirname "$0")/wine_project_lib.sh"

videoTs="$discs/disc_a/VIDEO_TS"
[[ -f $videoTs/VTS_01_0.IFO ]] || Fail "sample disc (a) is missing in $discs"
work=$(mktemp -d "$build/project-zip-XXXXXX")
trap 'rm -rf "$work"' EXIT

cpack --config "$build/CPackConfig.cmake" -B "$work/package" >"$work/cpack.log" 2>&1 ||
  Fail "cpack: $(cat "$work/cpack.log")"
zip="$work/package/Ravlo3-3.0-win32.zip"
[[ $RAVLO_WINE_BITS == 32 ]] || zip="$work/package/Ravlo3-3.0-x86_64-test-only.zip"
[[ -f $zip ]] || Fail "no $zip: $(ls "$work/package")"

app="$work/unpacked"
mkdir -p "$app"
unzip -q "$zip" -d "$app"
ExpectFiles "$app" Ravlo3.exe misc/help.htm misc/ifoparse.bat misc/ifoscan.exe misc/1st.reg \
  misc/2nd.reg misc/brimmer.exe misc/vobtitle.exe tools/xt.bat
echo "zip holds the expected tree"

MakeToolsTree "$app/tools"
printf 'checked\r\n' >"$app/tools/xt.txt"  # the check itself is tested with the install
MarkFirstRunDone
proj="$work/project"
mkdir -p "$proj"
SaveDiscA "$app" "$videoTs/VTS_01_0.IFO" "$proj" "$work/save.out" ||
  Fail "save exited with $?: $(cat "$work/save.out" "$work/save.out.err")"
CheckFirstSave "$proj" "$app" "$videoTs" "$work/save.out"
echo "saved from the unpacked zip: ${#FirstSaveFiles[@]} files as expected"
