#!/usr/bin/env bash
# Cross-builds the Windows programs with mingw-w64 into DIR:
#   scripts/build-windows.sh DIR [cmake options...] [-- target...]
# dkscrcmd.exe, dkscrbatch.exe, deckscribe.dll (with libdeckscribe.dll.a) and the unit tests
# (run them with `ctest --test-dir DIR`, under Wine); `cpack -G ZIP` in DIR makes the archive.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$1; shift
options=() targets=()
while [ $# -gt 0 ]; do
  if [ "$1" = -- ]; then shift; targets=("$@"); break; fi
  options+=("$1"); shift
done
if ! command -v x86_64-w64-mingw32-g++-posix >/dev/null; then
  echo "build-windows.sh: the cross compiler is missing (scripts/setup.sh --windows)" >&2
  exit 3
fi
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache); fi
cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" "${options[@]}" >/dev/null
if [ ${#targets[@]} -eq 0 ]; then
  targets=(dkscrcmd dkscrbatch deckscribe deckscribe_static windows_unit_tests windows_side_tests windows_dll_test)
fi
cmake --build "$dir" -j "${DKSCR_JOBS:-$(nproc)}" --target "${targets[@]}"
