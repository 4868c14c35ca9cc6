#!/usr/bin/env bash
# The install puts the window on the desktop: its menu entry (valid, starting ravlo3 with the
# file it is given, offered for disc images) and its icon, a drawing that renders.
# Usage: desktop_entry_test.sh PREFIX SCREENS_DIR
set -uo pipefail
prefix=$1 screens=$2
entry="$prefix/share/applications/ravlo3.desktop"
icon="$prefix/share/icons/hicolor/scalable/apps/ravlo3.svg"
failures=0
Fail() { echo "FAILED: $*" >&2; failures=$((failures + 1)); }

[ -f "$entry" ] || { echo "FAILED: no $entry" >&2; exit 1; }
[ -f "$icon" ] || Fail "no $icon"
said=$(desktop-file-validate "$entry" 2>&1) || Fail "desktop-file-validate: $said"
[ -z "$said" ] || Fail "desktop-file-validate warns: $said"
for line in "Exec=ravlo3 %f" "Icon=ravlo3" "Type=Application" "Terminal=false"; do
  grep -qxF "$line" "$entry" || Fail "$entry lacks $line"
done
grep -q '^MimeType=.*application/x-iso9660-image;' "$entry" || Fail "$entry offers no ISO image"
# The entry names the program that the install put beside it.
[ -x "$prefix/bin/ravlo3" ] || Fail "no $prefix/bin/ravlo3 for the entry to start"
# The icon draws: rendered at the sizes a desktop shows, into the screenshots.
mkdir -p "$screens"
for size in 48 128; do
  convert -background none -density 300 "$icon" -resize ${size}x${size} "$screens/icon_$size.png" 2>/dev/null ||
    Fail "the icon does not render at $size"
done
[ "$failures" -eq 0 ] && echo "desktop entry: all passed"
exit $((failures > 0))
