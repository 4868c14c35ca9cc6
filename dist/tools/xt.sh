#!/bin/sh
# Checks that the tools of the Linux road are there: ffmpeg and ffprobe on the PATH, and
# ravlo3's helpers beside it. xt.txt is written only when nothing is missing; until then
# ravlo3 runs this check at every start, so the user keeps being told what is missing.
cd "$(dirname "$0")" || exit 1
bin=../../../bin
missing=0
for tool in ffmpeg ffprobe; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "Missing: $tool - install it (Debian: apt-get install ffmpeg)" >&2
    missing=1
  fi
done
for helper in brimmer ifoscan vobtitle; do
  if [ ! -x "$bin/$helper" ]; then
    echo "Missing: $helper - it belongs beside ravlo3 in $(cd "$bin" 2>/dev/null && pwd || echo "$bin")" >&2
    missing=1
  fi
done
[ "$missing" = 0 ] || exit 1
# In an install the user cannot write, the check simply runs again at the next start.
{ echo "ffmpeg, ffprobe and the helpers are in place." >xt.txt; } 2>/dev/null || true
