#!/usr/bin/env bash
# The native ravlo3 opens a disc from an install the user cannot write (as after
# `sudo cmake --install ... --prefix /usr/local`): the analysis report goes to the per-user
# cache folder, made on demand. The prefix is made read-only by a read-only bind mount in a
# mount namespace of our own, else (not root) by taking away the write permissions; where
# neither works the test is skipped (77).
# Usage: readonly_install_test.sh BUILD_DIR DISCS_DIR
set -euo pipefail
build=$1 discs=$2
ifo="$discs/disc_a/VIDEO_TS/VTS_01_0.IFO"
[ -f "$ifo" ] || { echo "FAIL: sample disc (a) is missing in $discs"; exit 1; }
work="$build/readonly-install"
rm -rf "$work"
mkdir -p "$work"
prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null
export XDG_CONFIG_HOME="$work/config"
touch "$prefix/share/ravlo3/tools/xt.txt"  # the tools check is not what this test is about

# Runs its arguments with the prefix read-only.
if unshare -rm true 2>/dev/null; then
  ReadOnly() {
    unshare -rm sh -c 'mount --bind "$1" "$1" && mount -o remount,bind,ro "$1" "$1" &&
                       shift && exec "$@"' sh "$prefix" "$@"
  }
elif [ "$(id -u)" -ne 0 ]; then
  chmod -R a-w "$prefix"
  trap 'chmod -R u+w "$prefix"' EXIT
  ReadOnly() { "$@"; }
else
  echo "SKIP: no mount namespace here, and root writes whatever the permissions say"
  exit 77
fi
if ReadOnly touch "$prefix/share/ravlo3/misc/probe" 2>/dev/null; then
  echo "SKIP: the prefix could not be made read-only here"
  exit 77
fi

failures=0
Fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# The cache folder does not exist yet, nor does its parent.
export XDG_CACHE_HOME="$work/cache/of/this/user"
ReadOnly "$prefix/bin/ravlo3" --open "$ifo" --dump >"$work/open.txt" 2>&1 ||
  Fail "--open exited with $?"
grep -qx 'mnuSave.enabled=1' "$work/open.txt" || Fail "the title did not open: $(head -n 5 "$work/open.txt")"
grep -q '^optPAL=1' "$work/open.txt" || Fail "the dump lacks the disc's video standard"
[ -s "$XDG_CACHE_HOME/ravlo3/ifoparse.txt" ] || Fail "no report in $XDG_CACHE_HOME/ravlo3"
if ls "$prefix/share/ravlo3/misc" | grep -q '^ifoparse\.\(txt\|err\)$'; then
  Fail "a report was left in the install"
fi

# A cache folder that cannot be made is named, with the system's reason.
touch "$work/a file"
export XDG_CACHE_HOME="$work/a file/cache"
status=0
ReadOnly "$prefix/bin/ravlo3" --open "$ifo" --dump >"$work/nocache.txt" 2>&1 || status=$?
grep -q "The folder for the analysis report cannot be made: $XDG_CACHE_HOME/ravlo3: " "$work/nocache.txt" ||
  Fail "no message about the cache folder: $(head -n 5 "$work/nocache.txt")"
# The failed open ends the run: no dump follows, and the exit code says it failed.
[ "$status" -eq 1 ] || Fail "the failed open exited with $status, not 1"
if grep -q '^mnuSave' "$work/nocache.txt"; then Fail "the run went on after the failed open"; fi

[ $failures -eq 0 ] && echo "ravlo3 opened a disc from a read-only install; the report went to the cache folder"
exit $((failures > 0))
