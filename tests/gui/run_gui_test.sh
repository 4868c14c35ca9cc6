#!/usr/bin/env bash
# run_gui_test.sh GUI_DRIVER_EXE [RAVLO3_EXE]
# Runs the window test under Xvfb in its own Wine prefix (a desktop needs a display from the
# first Wine process on), converts the screenshots to PNG in $RAVLO_BUILD/gui-shots, then
# starts Ravlo3.exe and closes it from outside.
set -euo pipefail
if [ -z "${RAVLO_GUI_DISPLAY:-}" ]; then
  RAVLO_GUI_DISPLAY=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
driver="$1"
program="${2:-}"
build="${RAVLO_BUILD:?set RAVLO_BUILD to the build folder}"
shots="$build/gui-shots"
export WINEPREFIX="$build/wineprefix-gui"
source "$(dirname "$0")/../../scripts/wine-env.sh"
mkdir -p "$shots"
rm -f "$shots"/*.bmp "$shots"/*.png

prefix_script="$(dirname "$0")/../../scripts/wine-prefix.sh"
"$prefix_script" start "$WINEPREFIX" || { echo "FAIL - could not create $WINEPREFIX"; exit 1; }
trap '"$prefix_script" stop "$WINEPREFIX"' EXIT
# No window manager runs on the virtual display: Wine draws the title bars itself, so the
# screenshots show them.
"$RAVLO_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
# The outside check must not open the first-run help page.
"$RAVLO_WINE" reg add 'HKCU\Software\Ravlo3\Options' /v FirstRun /d Done /f >/dev/null 2>&1

status=0
"$RAVLO_WINE" "$driver" "$("$RAVLO_WINE" winepath -w "$shots")" || status=$?

for bmp in "$shots"/*.bmp; do
  [ -e "$bmp" ] || continue
  convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
done
echo "screenshots: $shots"

if [ -n "$program" ]; then
  "$RAVLO_WINE" "$driver" --outside "$("$RAVLO_WINE" winepath -w "$program")" || status=$((status + $?))
else
  echo "FAIL - Ravlo3.exe is not built in this tree"
  status=$((status + 1))
fi
exit "$status"
