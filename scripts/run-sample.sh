#!/usr/bin/env bash
# Sets up, builds and converts the bundled sample presentations, printing their text.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
# Only the console converter: the tests and the desktop program are built by scripts/test.sh.
scripts/build.sh build -- dkscrcmd
for f in samples/*.ppt samples/*.pptx; do
  echo "== $f"
  build/cli/dkscrcmd -c65001 "$f" '*' | tail -c +4 | tr -d '\r'
  echo
done
