#!/usr/bin/env bash
# Draws the README's pictures of the desktop program from a build folder under Xvfb:
#   scripts/screenshot.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
cmake --build "$build" --target mainwin_screenshot convertrun_walkthrough
mkdir -p "$root/docs"
xvfb-run -a -s "-screen 0 1024x768x24" "$build/tests/mainwin/mainwin_screenshot" "$root/docs/main-window.png"
xvfb-run -a -s "-screen 0 1024x768x24" "$build/tests/convertrun/convertrun_walkthrough" \
  "$root/samples" "$root/docs"
