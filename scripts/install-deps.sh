#!/usr/bin/env bash
# Installs what building and testing need on Debian 12, only when something is missing.
# 64-bit Wine and both MinGW-w64 compilers always; the i386 architecture and 32-bit Wine only
# where the kernel runs 32-bit code (elsewhere they cannot run and only cost time).
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"

packages=(cmake make g++ g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix wine wine64 xvfb xauth
          imagemagick ffmpeg dvdauthor lsdvd unzip mkvtoolnix mpv pkg-config libdvdread-dev qt6-base-dev
          mjpegtools genisoimage xdotool desktop-file-utils parallel openssh-server rsync)
runs32=0
RavloRuns32BitCode && runs32=1

Installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
missing=()
for p in "${packages[@]}"; do
  Installed "$p" || missing+=("$p")
done
want32=0
[ $runs32 -eq 1 ] && ! Installed wine32:i386 && want32=1
[ ${#missing[@]} -eq 0 ] && [ $want32 -eq 0 ] && exit 0

listed=("${missing[@]}")
[ $want32 -eq 1 ] && listed+=(wine32:i386)
echo "Installing: ${listed[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
if [ $runs32 -eq 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
# A mirror in the middle of a sync fails the update now and then: try again, and if some index
# still cannot be fetched, go on with what was fetched; the install says what it cannot find.
for try in 1 2 3; do
  $sudo apt-get update -qq && break
  echo "install-deps.sh: apt-get update failed (try $try of 3)" >&2
  sleep $((try * 10))
done
if [ ${#missing[@]} -gt 0 ]; then
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
fi
# 32-bit Wine on its own: when the archive's i386 half lags behind its amd64 half (a mirror
# mid-sync), it cannot be installed, and the Windows programs are then tested as the 64-bit
# build, as on hosts that run no 32-bit code.
if [ $want32 -eq 1 ] &&
   ! DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq wine32:i386 >/tmp/ravlo-wine32.log 2>&1; then
  echo "install-deps.sh: wine32:i386 could not be installed (see /tmp/ravlo-wine32.log);" \
       "the Windows programs will be tested under 64-bit Wine" >&2
fi
