#!/usr/bin/env bash
# Redraws the desktop icon's PNG sizes from app/icons/deckscribe.svg (needs rsvg-convert,
# Debian's librsvg2-bin). The PNGs are committed, so a build never needs this.
set -euo pipefail
cd "$(dirname "$0")/../app/icons"
for size in 48 64 128 256; do
  mkdir -p "${size}x${size}"
  rsvg-convert -w "$size" -h "$size" deckscribe.svg -o "${size}x${size}/deckscribe.png"
done
