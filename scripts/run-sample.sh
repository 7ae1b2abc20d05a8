#!/usr/bin/env bash
# Sets up, builds and converts the bundled sample presentations, printing their text.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh build
if [ -x build/cli/dkscrcmd ]; then
  for f in samples/*.ppt samples/*.pptx; do
    [ -e "$f" ] || continue
    echo "== $f"
    build/cli/dkscrcmd -c65001 "$f" '*' | tail -c +4 | tr -d '\r'
    echo
  done
else
  build/cli/dkscr_demo
fi
