#!/usr/bin/env bash
# Configures and builds one build folder:
#   scripts/build.sh DIR [cmake options...] [-- target...]
# Targets after "--" are built alone (all of them when none is named).
set -euo pipefail
dir=$1; shift
options=() targets=()
while [ $# -gt 0 ]; do
  if [ "$1" = -- ]; then shift; targets=("$@"); break; fi
  options+=("$1"); shift
done
cmake -S "$(dirname "$0")/.." -B "$dir" -G Ninja "${options[@]}" >/dev/null
cmake --build "$dir" -j "$(nproc)" ${targets[@]:+--target "${targets[@]}"}
