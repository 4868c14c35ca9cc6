#!/usr/bin/env bash
# Every program an install copies is built by the `programs` target, the one the demo and the
# README's install build: configures the sources afresh (natively, and for Windows where the
# MinGW compiler is there), reads the programs the install rules take from cmake_install.cmake
# and the targets `programs` depends on from CMake's dependency graph, and names any program
# the install takes that `programs` would not build.
# Usage: install_programs_test.sh SOURCE_DIR
set -uo pipefail
source=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# Check NAME CMAKE_ARGUMENTS...: one configuration's install against `programs`.
Check() {
  local name=$1 build="$work/$1"; shift
  mkdir -p "$build"
  echo 'set(GRAPHVIZ_CUSTOM_TARGETS TRUE)' >"$build/CMakeGraphVizOptions.cmake"
  if ! cmake -S "$source" -B "$build" -DBUILD_TESTING=OFF "$@" --graphviz="$build/graph/deps.dot" \
       >"$build/configure.txt" 2>&1; then
    echo "FAILED: $name: the sources do not configure:" >&2; cat "$build/configure.txt" >&2
    failures=$((failures + 1)); return
  fi
  # file(INSTALL DESTINATION ... TYPE EXECUTABLE FILES "/.../src/videopass/videopass")
  local installed
  installed=$(find "$build" -name cmake_install.cmake -exec grep -h 'TYPE EXECUTABLE' {} + |
              grep -o 'FILES "[^"]*"' | sed 's/^FILES "//; s/"$//; s|.*/||; s/\.exe$//' | sort -u)
  # "node3" [ label = "programs" ... ] and "node3" -> "node7" edges
  local node built
  node=$(sed -n 's/^ *"\(node[0-9]*\)" \[ label = "programs".*/\1/p' "$build/graph/deps.dot")
  built=$(sed -n "s/^ *\"$node\" -> \"\(node[0-9]*\)\".*/\1/p" "$build/graph/deps.dot" | while read -r dep; do
            sed -n "s/^ *\"$dep\" \[ label = \"\([^\"]*\)\".*/\1/p" "$build/graph/deps.dot"
          done | sort -u)
  if [ -z "$installed" ]; then
    echo "FAILED: $name: the install takes no program at all" >&2; failures=$((failures + 1)); return
  fi
  local missing
  missing=$(comm -23 <(echo "$installed") <(echo "$built"))
  if [ -n "$missing" ]; then
    echo "FAILED: $name: the install takes programs that \`programs\` does not build:" $missing >&2
    failures=$((failures + 1))
  else
    echo "$name: \`programs\` builds every installed program:" $installed
  fi
}

Check native -DCMAKE_BUILD_TYPE=Release
if command -v i686-w64-mingw32-g++-posix >/dev/null 2>&1 || command -v i686-w64-mingw32-g++ >/dev/null 2>&1; then
  Check win32 -DCMAKE_TOOLCHAIN_FILE="$source/cmake/toolchain-mingw-i686.cmake" -DCMAKE_BUILD_TYPE=Release
fi
exit $((failures > 0))
