#!/usr/bin/env bash
# Draws the README's pictures of the desktop program from a build folder under Xvfb: the main
# window (also in a dark palette), the walk from an empty list to text files, and every dialog.
#   scripts/screenshot.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
cmake --build "$build" --target dkscr_main_window_shot dkscr_walkthrough_shots dkscr_dialog_shots
shots=$build/scripts/screenshots
mkdir -p "$root/docs"
run() { QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1024x768x24" "$@"; }
run "$shots/dkscr_main_window_shot" "$root/docs/main-window.png"
run "$shots/dkscr_main_window_shot" "$root/docs/main-window-dark.png" --dark
run "$shots/dkscr_walkthrough_shots" "$root/samples" "$root/docs"
run "$shots/dkscr_dialog_shots" "$root/docs"
