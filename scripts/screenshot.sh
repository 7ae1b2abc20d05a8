#!/usr/bin/env bash
# Draws docs/main-window.png from a build folder: scripts/screenshot.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
cmake --build "$build" --target mainwin_screenshot
mkdir -p "$root/docs"
xvfb-run -a -s "-screen 0 1024x768x24" "$build/tests/mainwin/mainwin_screenshot" "$root/docs/main-window.png"
