# Sourced by every script and test that starts a Windows program: source wine-env.sh
# (the prefix is the caller's WINEPREFIX).
#
# Decides once which Wine this host runs. Some 64-bit kernels run no 32-bit user code, so the
# 32-bit loader cannot start ("Exec format error"); there the Windows programs are tested as
# the test-only 64-bit build under 64-bit Wine. Debian's `wine`, `wineboot`, `winepath` and
# `wine-stable` pick the 32-bit loader whenever it is installed, whether or not it can run, so
# nothing may start Wine by those names: start programs with "$RAVLO_WINE" (winepath and
# wineboot too: "$RAVLO_WINE" winepath -w PATH) and the server with "$WINESERVER".
#
# RAVLO_WINE_BITS=32 or 64 set beforehand forces the choice (a test of a build passes its own);
# once decided it is exported, so child scripts do not test again. Exports:
#   RAVLO_WINE_BITS 32|64, RAVLO_WINE_WHY (the reason, for messages), RAVLO_WINE_PRESET win32|win64, RAVLO_WINE_MACHINE i686|x86_64,
#   RAVLO_WINE and WINELOADER (the loader), WINESERVER, WINEARCH, WINEDEBUG=-all.

# RavloRuns32BitCode: whether the kernel runs 32-bit x86 programs at all, known without Wine.
# Runs a 120-byte static i386 ELF that only exits with code 42.
RavloRuns32BitCode() {
  local probe code
  probe=$(mktemp "${TMPDIR:-/tmp}/ravlo-i386-probe.XXXXXX") || return 1
  # ELF header (52 bytes), one loadable segment (32 bytes), then: mov eax,1; mov ebx,42; int 0x80.
  printf '%b' \
    '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00' \
    '\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00' \
    '\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00' \
    '\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08' \
    '\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00' \
    '\xb8\x01\x00\x00\x00\xbb\x2a\x00\x00\x00\xcd\x80' >"$probe"
  chmod +x "$probe"
  code=0
  "$probe" 2>/dev/null || code=$?
  rm -f "$probe"
  [ "$code" -eq 42 ]
}

if [ -z "${RAVLO_WINE_BITS:-}" ]; then
  # The shipped programs need the 32-bit loader; it counts only if it actually starts.
  if [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
    RAVLO_WINE_BITS=32 RAVLO_WINE_WHY="32-bit Wine runs here"
  else
    RAVLO_WINE_BITS=64 RAVLO_WINE_WHY="32-bit Wine cannot run here"
  fi
fi
: "${RAVLO_WINE_WHY:=RAVLO_WINE_BITS=$RAVLO_WINE_BITS asks for it}"
case "$RAVLO_WINE_BITS" in
  32) RAVLO_WINE=/usr/lib/wine/wine RAVLO_WINE_PRESET=win32 RAVLO_WINE_MACHINE=i686
      WINEARCH=win32 ;;
  64) RAVLO_WINE=/usr/lib/wine/wine64 RAVLO_WINE_PRESET=win64 RAVLO_WINE_MACHINE=x86_64
      WINEARCH=win64 ;;
  *) echo "wine-env.sh: RAVLO_WINE_BITS must be 32 or 64, not '$RAVLO_WINE_BITS'" >&2
     return 2 ;;
esac
WINELOADER=$RAVLO_WINE
# Debian's server wrapper: the 64-bit server where installed (it serves both loaders), and
# one that ends with its last client unless started with -p.
WINESERVER=/usr/lib/wine/wineserver
WINEDEBUG=-all
export RAVLO_WINE_BITS RAVLO_WINE_WHY RAVLO_WINE RAVLO_WINE_PRESET RAVLO_WINE_MACHINE WINELOADER WINESERVER \
  WINEARCH WINEDEBUG
