#!/usr/bin/env bash
# Cross-builds the Windows programs with mingw-w64 into DIR:
#   scripts/build-windows.sh DIR [cmake options...] [-- target...]
# dkscrcmd.exe, dkscrbatch.exe, deckscribe.dll (with libdeckscribe.dll.a) and the test
# programs (run them with `ctest --test-dir DIR`, under Wine); `cpack -G ZIP` in DIR makes the
# archive.
set -euo pipefail
scripts=$(cd "$(dirname "$0")" && pwd)
if ! command -v x86_64-w64-mingw32-g++-posix >/dev/null; then
  echo "build-windows.sh: the cross compiler is missing (scripts/setup.sh --windows)" >&2
  exit 3
fi
dir=$1; shift
options=(-DCMAKE_TOOLCHAIN_FILE="$scripts/../cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release)
if command -v ccache >/dev/null; then
  options+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
exec "$scripts/build.sh" "$dir" "${options[@]}" "$@"
