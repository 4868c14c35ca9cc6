#!/usr/bin/env bash
# make_delay_lib.sh NM DLLTOOL IMPORT_LIB DLL OUTPUT PROCESSOR
# Makes a delay-load import library for DLL from the toolchain's ordinary import library: the
# DLL is then loaded at the first call of one of its functions instead of at program start.
set -euo pipefail
nm=$1 dlltool=$2 importLib=$3 dll=$4 output=$5 processor=$6
def="${output%.a}.def"
if [ "$processor" = x86_64 ]; then
  # 64-bit Windows has one calling convention: names are not decorated.
  pattern='^[A-Za-z][A-Za-z0-9_]*$' strip=0 options=()
else
  # Every stdcall function, named as the linker looks for it; -k: the DLL exports the
  # undecorated names ("MessageBoxA", not "MessageBoxA@16").
  pattern='^_[A-Za-z][A-Za-z0-9_]*@[0-9]+$' strip=1 options=(-k)
fi
{
  echo "LIBRARY $dll"
  echo "EXPORTS"
  "$nm" -g --defined-only "$importLib" 2>/dev/null |
    awk -v pattern="$pattern" -v strip="$strip" \
      '$2 == "T" && $3 ~ pattern { print substr($3, 1 + strip) }' | sort -u
} >"$def"
"$dlltool" "${options[@]}" -d "$def" -D "$dll" -y "$output"
