#!/usr/bin/env bash
# Cross-builds the Windows programs with mingw-w64 into DIR:
#   scripts/build-windows.sh DIR [cmake options...] [-- target...]
# dkscrcmd.exe, dkscrbatch.exe, deckscribe.dll (with libdeckscribe.dll.a) and the test
# programs (run them with `ctest --test-dir DIR`, under Wine), and the desktop program
# Deckscribe.exe when Qt for Windows has been built (scripts/build-qt-windows.sh; or
# DKSCR_QT_PREFIX=DIR names another); `cpack -G ZIP` in DIR makes the archive.
set -euo pipefail
scripts=$(cd "$(dirname "$0")" && pwd)
if ! command -v x86_64-w64-mingw32-g++-posix >/dev/null; then
  echo "build-windows.sh: the cross compiler is missing (scripts/setup.sh --windows)" >&2
  exit 3
fi
dir=$1; shift
options=(-DCMAKE_TOOLCHAIN_FILE="$scripts/../cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release)
qt=${DKSCR_QT_PREFIX:-}
if [ -z "$qt" ] && ! qt=$("$scripts/build-qt-windows.sh" --prefix 2>/dev/null); then
  echo "build-windows.sh: no Qt for Windows${qt:+ in $qt}, so no Deckscribe.exe:" \
       "scripts/build-qt-windows.sh builds it (once; about 16 minutes on two idle cores)" >&2
  qt=
fi
if [ -n "$qt" ]; then
  options+=(-DDKSCR_QT_PREFIX="$qt" -DDKSCR_BUILD_APP=ON)
else
  options+=(-DDKSCR_BUILD_APP=OFF)
fi
if command -v ccache >/dev/null; then
  options+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
exec "$scripts/build.sh" "$dir" "${options[@]}" "$@"
