#!/usr/bin/env bash
# make_delay_lib.sh NM DLLTOOL IMPORT_LIB DLL OUTPUT
# Makes a delay-load import library for DLL from the toolchain's ordinary import library: the
# DLL is then loaded at the first call of one of its functions instead of at program start.
set -euo pipefail
nm=$1 dlltool=$2 importLib=$3 dll=$4 output=$5
def="${output%.a}.def"
{
  echo "LIBRARY $dll"
  echo "EXPORTS"
  # Every stdcall function of the import library, named as the linker looks for it.
  "$nm" -g --defined-only "$importLib" 2>/dev/null |
    awk '$2 == "T" && $3 ~ /^_[A-Za-z][A-Za-z0-9_]*@[0-9]+$/ { print substr($3, 2) }' | sort -u
} >"$def"
# -k: the DLL exports the undecorated names ("MessageBoxA", not "MessageBoxA@16").
"$dlltool" -k -d "$def" -D "$dll" -y "$output"
