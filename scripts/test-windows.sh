#!/usr/bin/env bash
# Cross-builds the Windows programs and tests them under Wine: the test programs (encodings,
# console options, ZIP, .ppt, .pptx, slide model, dkscrbatch, the C interface, the corpus
# tests, the Windows side's own), then
# dkscrcmd.exe on every file of ../shared/corpus, whose output at code pages 65001 and 1200
# (and exit code, and message) must be the Linux build's byte for byte, and dkscrbatch.exe
# over the folder, whose text files and JSON Lines must be too; then Deckscribe.exe, built
# against Qt for Windows (scripts/build-qt-windows.sh, run here when its prefix is missing;
# DKSCR_QT_WINDOWS=skip leaves the desktop program out instead), converts a saved list under
# Wine on an Xvfb display (scripts/test-desktop-run.sh).
#   scripts/test-windows.sh LINUX_BUILD_DIR [WINDOWS_BUILD_DIR]
# Skips, saying so, where the cross compiler or Wine is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
linux=$1
win=${2:-build-windows}
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
if ! command -v x86_64-w64-mingw32-g++-posix >/dev/null || [ ! -x "$wine" ] || [ ! -x "$wineserver" ] ||
   [ ! -f /usr/src/googletest/CMakeLists.txt ] || [ ! -f /usr/x86_64-w64-mingw32/lib/libz.a ]; then
  echo "== Windows: SKIPPED, the cross compiler, GoogleTest's sources, zlib for it or Wine is not" \
       "installed (scripts/setup.sh --windows)"
  exit 0
fi
start=$(date +%s)
if ! qt=$(scripts/build-qt-windows.sh --prefix 2>/dev/null); then
  if [ "${DKSCR_QT_WINDOWS:-build}" = skip ]; then
    echo "== Windows: Deckscribe.exe SKIPPED, no Qt for Windows in $qt (DKSCR_QT_WINDOWS=skip)"
  else
    mkdir -p "$win"
    echo "== Windows: building Qt for Windows into $qt (once; log in $win/qt-build.log)"
    if ! scripts/build-qt-windows.sh > "$win/qt-build.log" 2>&1; then
      tail -n 30 "$win/qt-build.log"
      echo "== Windows: Qt for Windows failed to build (see $win/qt-build.log)"
      exit 1
    fi
    echo "== Windows: Qt for Windows built in $(( $(date +%s) - start )) s"
  fi
fi
scripts/build-windows.sh "$win" -DDKSCR_WERROR=ON
(cd "$win" && cpack -G ZIP >/dev/null)
echo "== Windows: built in $(( $(date +%s) - start )) s; $(ls "$win"/deckscribe-*.zip)"

# One Wine server for the whole step, in a prefix of its own, so that each run is quick.
WINEPREFIX=$(mktemp -d)
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
scratch=$(mktemp -d)
trap '"$wineserver" -k 2>/dev/null || true; rm -rf "$WINEPREFIX" "$scratch"' EXIT
"$wineserver" -p
"$wine" cmd /c exit >/dev/null 2>&1 || true  # creates the prefix once

ctest --test-dir "$win" --output-on-failure
# Every area that holds on Windows keeps running there: a program dropped from the build fails.
programs=$(ctest --test-dir "$win" -N | sed -n 's/^Total Tests: //p')
[ "$programs" -ge 10 ] || { echo "== Windows: only $programs test programs"; exit 1; }
echo "== Windows: $programs test programs passed under Wine"

corpus=../shared/corpus
if [ ! -d "$corpus" ]; then
  echo "== Windows: no $corpus, dkscrcmd.exe not compared"
else
  corpus=$(cd "$corpus" && pwd)
  failed=0 runs=0
  for file in "$corpus"/*; do
    [ -f "$file" ] || continue
    for cp in 65001 1200; do
      set +e
      "$linux/cli/dkscrcmd" "-c$cp" "$file" '*' > "$scratch/linux"
      linux_rc=$?
      "$wine" "$win/cli/dkscrcmd.exe" "-c$cp" "Z:$file" '*' > "$scratch/windows" 2>/dev/null
      windows_rc=$?
      set -e
      runs=$((runs + 1))
      # A failure's message names the path as given: Z: is the only difference allowed.
      [ "$linux_rc" -eq 0 ] || sed -i "s|Z:$file|$file|" "$scratch/windows"
      if [ "$linux_rc" -ne "$windows_rc" ] || ! cmp -s "$scratch/linux" "$scratch/windows"; then
        echo "DIFFERS: -c$cp $file (exit $linux_rc on Linux, $windows_rc under Wine)"
        failed=$((failed + 1))
      fi
    done
  done
  echo "== Windows: dkscrcmd.exe under Wine, $runs runs, $failed differing from Linux"
  # dkscrbatch.exe over the whole folder: the same tree of text files, the same JSON Lines.
  set +e
  "$linux/batch/dkscrbatch" -q -d "$scratch/linux-tree" "$corpus" 2>/dev/null
  linux_rc=$?
  "$wine" "$win/batch/dkscrbatch.exe" -q -d "Z:$scratch/windows-tree" "Z:$corpus" 2>/dev/null
  windows_rc=$?
  "$linux/batch/dkscrbatch" -q "$corpus" > "$scratch/linux.jsonl" 2>/dev/null
  "$wine" "$win/batch/dkscrbatch.exe" -q "Z:$corpus" 2>/dev/null |
    sed "s|Z:$corpus|$corpus|g" > "$scratch/windows.jsonl"
  set -e
  if [ "$linux_rc" -ne "$windows_rc" ] || ! diff -r -q "$scratch/linux-tree" "$scratch/windows-tree" ||
     ! cmp -s "$scratch/linux.jsonl" "$scratch/windows.jsonl"; then
    echo "DIFFERS: dkscrbatch.exe over $corpus (exit $linux_rc on Linux, $windows_rc under Wine)"
    failed=$((failed + 1))
  else
    echo "== Windows: dkscrbatch.exe under Wine, text files and JSON Lines as on Linux"
  fi
  [ "$failed" -eq 0 ]
fi

# The desktop program end to end: a saved list of corpus presentations converted from the
# keyboard under Wine on an Xvfb display, the text files as the Linux dkscrcmd writes them, the
# ordinary close (WM_CLOSE, as taskkill without /f sends) with exit code 0, job file and log.
# Deckscribe.exe runs from the unpacked archive, which must hold all it needs.
if [ -f "$win/app/Deckscribe.exe" ]; then
  zip=$(cd "$win" && echo "$PWD"/deckscribe-*.zip)
  (cd "$scratch" && cmake -E tar xf "$zip")
  app=$(ls "$scratch"/deckscribe-*/bin/Deckscribe.exe)
  "$wineserver" -k 2>/dev/null || true  # the windows need a server started with the display
  scripts/test-desktop-run.sh "$linux/cli/dkscrcmd" "$app" "$wine"
elif [ "${DKSCR_QT_WINDOWS:-build}" != skip ]; then
  echo "== Windows: Deckscribe.exe was not built"
  exit 1
fi
echo "== Windows: step took $(( $(date +%s) - start )) s"
