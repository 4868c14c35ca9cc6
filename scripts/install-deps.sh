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
if RavloRuns32BitCode; then
  runs32=1
  packages+=(wine32:i386)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
if [ $runs32 -eq 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
