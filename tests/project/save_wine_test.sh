#!/usr/bin/env bash
# Installs the programs, fills a tools folder, and saves projects of sample disc (a) from
# scripted mode under Wine: the folder must hold exactly the files those settings call for,
# and a second save with other settings must rewrite each of its files without appending.
# Also checks tools\xt.bat on a tools folder with one file missing and a complete one.
# Usage: save_wine_test.sh BUILD_DIR DISCS_DIR
set -euo pipefail
build=$1 discs=$2
source "$(dirname "$0")/wine_project_lib.sh"

videoTs="$discs/disc_a/VIDEO_TS"
[[ -f $videoTs/VTS_01_0.IFO ]] || Fail "sample disc (a) is missing in $discs"
work=$(mktemp -d "$build/project-save-XXXXXX")
trap 'rm -rf "$work"' EXIT
app="$work/Ravlo3"

cmake --install "$build" --prefix "$app" >"$work/install.log" || Fail "install: $(cat "$work/install.log")"

# xt.bat: one tool missing -> told where it belongs, no marker; complete -> marker.
MakeToolsTree "$app/tools" gsar112/gsar.exe
echo | "$RAVLO_WINE" cmd /c "$(WinPath "$app/tools/xt.bat")" >"$work/xt1.txt" 2>&1 || true
grep -q 'Missing: gsar.exe - it belongs in the folder gsar112' "$work/xt1.txt" ||
  Fail "xt.bat did not name the missing tool: $(cat "$work/xt1.txt")"
[[ $(grep -c Missing "$work/xt1.txt") == 1 ]] || Fail "xt.bat names more than one file"
[[ ! -e $app/tools/xt.txt ]] || Fail "xt.bat wrote xt.txt although gsar.exe is missing"
MakeToolsTree "$app/tools"
echo | "$RAVLO_WINE" cmd /c "$(WinPath "$app/tools/xt.bat")" >"$work/xt2.txt" 2>&1 || true
[[ -f $app/tools/xt.txt ]] || Fail "xt.bat did not write xt.txt: $(cat "$work/xt2.txt")"

MarkFirstRunDone
proj="$work/project"
mkdir -p "$proj"
SaveDiscA "$app" "$videoTs/VTS_01_0.IFO" "$proj" "$work/save1.out" ||
  Fail "first save exited with $?: $(cat "$work/save1.out" "$work/save1.out.err")"
CheckFirstSave "$proj" "$app" "$videoTs" "$work/save1.out"
echo "first save: ${#FirstSaveFiles[@]} files as expected"

# Second save into the same folder: LPCM 0xA0 kept as it is (AC3 with Original), no
# subtitles, IVTC instead of AutoCrop, temporary files kept. Every file is marked stale first
# and 2nd.reg gets the line brimmer would have added.
for f in "$proj"/*; do printf 'stale\r\n' >"$f"; done
printf '"desired_size"=dword:00001000\r\n' >>"$proj/2nd.reg"
RunPlanner "$app" "$work/save2.out" --open "$(WinPath "$videoTs/VTS_01_0.IFO")" \
  --check lstAL=1 --set optAud_AC3=1 --set chkAC=0 --set chkIVTC=1 --click chkDelTemp \
  --save "$(WinPath "$proj")" ||
  Fail "second save exited with $?: $(cat "$work/save2.out" "$work/save2.out.err")"
grep -q '^Project saved' "$work/save2.out" || Fail "no confirmation: $(cat "$work/save2.out")"
grep -q 'SUB path' "$work/save2.out" && Fail "SUB path shown without subtitles"

rewritten=(project.avs project.lst project.bat movie.bat 1st.reg 2nd.reg brimmer.exe vStrip.exe
           Decomb.dll DGDecode.dll DGIndex.exe avs2avi.exe mplayerc.exe gsar.exe)
left=(subparam azid.dll BeSweet.exe hip.dll lame_enc.dll AutoCrop.dll rar32.exe rsx.exe)
ExpectFiles "$proj" "${rewritten[@]}" "${left[@]}"
for f in "${rewritten[@]}"; do
  cmp -s "$proj/$f" <(printf 'stale\r\n') && Fail "$f was not rewritten"
done
for f in "${left[@]}"; do
  cmp -s "$proj/$f" <(printf 'stale\r\n') || Fail "$f was touched although this save does not name it"
done
cmp -s "$proj/2nd.reg" "$app/misc/2nd.reg" || Fail "2nd.reg was not replaced by the template"
cmp -s "$proj/Decomb.dll" "$app/tools/decomb410b4/Decomb.dll" || Fail "Decomb.dll source"
ExpectText "$proj/movie.bat" 'mplayerc.exe movie.avi /dub 0xA0o.wav /play /fullscreen\r\n'
ExpectText "$proj/project.avs" \
  'LoadPlugin("DGDecode.dll")\r\nLoadPlugin("Decomb.dll")\r\nmpeg2source("project.d2v")\r\nTelecide()\r\nDecimate(mode=1)\r\nLanczosResize(640,360)\r\n\r\n'
[[ $(grep -c '@ECHO OFF' "$proj/project.bat") == 1 ]] || Fail "project.bat holds two batches"
grep -q 'BeSweet' "$proj/project.bat" && Fail "unconverted audio, yet project.bat converts"
grep -q '^DEL 1st.reg' "$proj/project.bat" && Fail "temporary files are deleted although switched off"
grep -q $'^DEL 0xA0.log\r$' "$proj/project.bat" || Fail "the logs are no longer deleted"
echo "second save: ${#rewritten[@]} files rewritten, ${#left[@]} left alone"

# A value the batch cannot carry: refused on stderr with exit code 1, and the folder stays as
# the second save left it, byte for byte.
before=$(cd "$proj" && md5sum * | sort)
if RunPlanner "$app" "$work/save3.out" --open "$(WinPath "$videoTs/VTS_01_0.IFO")" \
     --set "cmbMS=700 & mkdir PWNED" --save "$(WinPath "$proj")"; then
  Fail "a refused media size gave exit code 0"
fi
grep -q 'Media size (cmbMS): "700 & mkdir PWNED" cannot go into the project' "$work/save3.out.err" ||
  Fail "no refusal on stderr: $(cat "$work/save3.out" "$work/save3.out.err")"
grep -q 'Nothing was saved' "$work/save3.out.err" || Fail "the refusal does not say nothing was saved"
[[ $(cd "$proj" && md5sum * | sort) == "$before" ]] || Fail "a refused save changed the folder"
echo "refused save: exit code 1, folder unchanged"
