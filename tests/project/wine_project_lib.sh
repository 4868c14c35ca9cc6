# Shared by the project Wine tests: an installed tree with a complete tools folder, and the
# planner run in scripted mode from it. Expects WINEPREFIX etc. from CTest.

source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/wine-env.sh"  # the Wine this build needs

Fail() { echo "FAIL: $*" >&2; exit 1; }

# Windows form of a Linux path (Wine maps / to drive Z:).
WinPath() { local p; p=$(realpath -m "$1"); echo "Z:${p//\//\\}"; }

# The ten tools in their versioned folders, plus the files that travel with two of them.
# Each file holds its own relative path, so that a copy can be traced to its source.
ToolFiles=(
  vStrip_08f/vStrip.exe rarx360/rar32.exe rarx360/rsx.exe
  BeSweetv1.5b31/BeSweet.exe BeSweetv1.5b31/ac3enc.dll BeSweetv1.5b31/azid.dll
  BeSweetv1.5b31/hip.dll BeSweetv1.5b31/lame_enc.dll
  dgmpgdec148/DGIndex.exe dgmpgdec148/DGDecode.dll AutoCrop11/AutoCrop.dll
  decomb410b4/Decomb.dll avs2avi-139/avs2avi.exe mpc2kxp6482/mplayerc.exe gsar112/gsar.exe
)

# MakeToolsTree TOOLSDIR [LEAVE_OUT]: fills the tools folder, leaving out one file if asked.
MakeToolsTree() {
  local dir=$1 leaveOut=${2:-} file
  for file in "${ToolFiles[@]}"; do
    [[ $file == "$leaveOut" ]] && continue
    mkdir -p "$dir/$(dirname "$file")"
    printf 'stand-in %s\r\n' "$file" >"$dir/$file"
  done
}

# The start-up of a first run would open the help page; this prefix has had its first run.
MarkFirstRunDone() {
  "$RAVLO_WINE" reg add 'HKCU\Software\Ravlo3\Options' /v FirstRun /d Done /f >/dev/null 2>&1 ||
    Fail "could not write the settings store"
}

# RunPlanner APPDIR OUTFILE ARGS...: scripted mode, stdout into OUTFILE; returns the exit code.
RunPlanner() {
  local appDir=$1 out=$2; shift 2
  (cd "$appDir" && "$RAVLO_WINE" ./Ravlo3.exe "$@") >"$out" 2>"$out.err"
}

# ExpectFiles DIR NAME...: DIR holds exactly these files.
ExpectFiles() {
  local dir=$1; shift
  local want have
  want=$(printf '%s\n' "$@" | sort)
  have=$(cd "$dir" && find . -type f -printf '%P\n' | sort)
  [[ "$want" == "$have" ]] || Fail "files in $dir differ from the expected set:
$(diff <(echo "$want") <(echo "$have"))"
}

# ExpectText FILE TEXT: the file holds exactly TEXT (printf escapes allowed).
ExpectText() {
  local file=$1 expected
  expected=$(printf "$2"; echo x)
  local actual
  actual=$(cat "$file"; echo x)
  [[ "$expected" == "$actual" ]] || Fail "$file holds:
$(od -c "$file" | head -20)"
}

# The first save of disc (a): 0x80 and 0x81 converted to MP3, subtitles 0x21 as VOBSUB, the
# default filters (AutoCrop and resize on). SaveDiscA APPDIR IFO PROJECT OUT
SaveDiscA() {
  RunPlanner "$1" "$4" --open "$(WinPath "$2")" --check lstAL=0 --check lstAL=2 \
    --check lstSL=1 --save "$(WinPath "$3")"
}

FirstSaveFiles=(
  project.avs subparam project.lst project.bat movie.bat 1st.reg 2nd.reg brimmer.exe
  vStrip.exe azid.dll BeSweet.exe hip.dll lame_enc.dll AutoCrop.dll DGDecode.dll DGIndex.exe
  avs2avi.exe rar32.exe rsx.exe mplayerc.exe gsar.exe
)

# CheckFirstSave PROJECT APPDIR VIDEO_TS OUT
CheckFirstSave() {
  local proj=$1 app=$2 videoTs=$3 out=$4
  ExpectFiles "$proj" "${FirstSaveFiles[@]}"
  grep -q '^Project saved' "$out" || Fail "no confirmation: $(cat "$out" "$out.err")"
  local vts; vts=$(WinPath "$videoTs")
  ExpectText "$proj/project.lst" "${vts//\\/\\\\}\\\\VTS_01_1.VOB\r\n\r\n"
  ExpectText "$proj/movie.bat" \
    'mplayerc.exe movie.avi /dub 0x80.mp3 /dub 0x81.mp3 /play /fullscreen\r\n'
  ExpectText "$proj/subparam" \
    "${vts//\\/\\\\}\\\\VTS_01_0.IFO\r\nmovie\r\n1\r\n1\r\n1 \r\nCLOSE\r\n\r\n"
  grep -q $'^START /w vStrip.exe @project.lst -i".*VTS_01_0.IFO" -p0 -j1 -!do0x81o.ac3 0xBD 0x81\r$' \
    "$proj/project.bat" || Fail "project.bat lacks the vStrip line of 0x81"
  [[ $(tail -c 7 "$proj/project.bat"; echo x) == $'CLS\r\n\r\nx' ]] ||
    Fail "project.bat does not end in CLS and the closing line break"
  cmp -s "$proj/2nd.reg" "$app/misc/2nd.reg" || Fail "2nd.reg is not the template"
  cmp -s "$proj/brimmer.exe" "$app/misc/brimmer.exe" || Fail "brimmer.exe is not the built one"
  cmp -s "$proj/lame_enc.dll" "$app/tools/BeSweetv1.5b31/lame_enc.dll" || Fail "lame_enc.dll source"
  cmp -s "$proj/rsx.exe" "$app/tools/rarx360/rsx.exe" || Fail "rsx.exe source"
}
