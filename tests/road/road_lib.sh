# The start every road test shares; source it, then call RoadStart.
#   RoadStart NAME BUILD_DIR DISCS_DIR
# sets build and discs (absolute), work (BUILD_DIR/NAME, emptied) and prefix (a fresh native
# install in it); keeps the settings and the analysis report inside work; asks libxvid for a
# fast motion search (the rate control, and so the size logic, stays the same).
RoadStart() {
  local name=$1
  build=$(cd "${2:?usage: $name BUILD_DIR DISCS_DIR}" && pwd)
  discs=$(cd "${3:?usage: $name BUILD_DIR DISCS_DIR}" && pwd)
  work="$build/$name"
  rm -rf "$work"
  mkdir -p "$work"
  prefix="$work/install"
  cmake --install "$build" --prefix "$prefix" >/dev/null || return 1
  export XDG_CONFIG_HOME="$work/config" XDG_CACHE_HOME="$work/cache"
  export RAVLO3_XVID_OPTIONS="-me_quality 2"
  failures=0
}

Check() {  # Check DESCRIPTION COMMAND...: counts a failure in $failures
  local what=$1; shift
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what" >&2; failures=$((failures + 1)); fi
}
