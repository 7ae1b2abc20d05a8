#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for N seconds, starting from its seed corpus:
#   scripts/run-fuzz.sh [BUILD_DIR] [SECONDS]
# New inputs go to a scratch corpus, so the committed seeds stay as they are.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build-fuzz}
seconds=${2:-60}
status=0
for target in "$dir"/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  work="$dir/fuzz-corpus/$name"
  mkdir -p "$work"
  seeds=()
  [ -d "fuzz/seeds/$name" ] && seeds=("fuzz/seeds/$name")
  echo "-- $name for ${seconds}s"
  if ! "$target" -max_total_time="$seconds" -print_final_stats=0 -rss_limit_mb=2048 \
       -timeout=10 -artifact_prefix="$dir/" "$work" "${seeds[@]}" \
       > "$dir/$name.log" 2>&1; then
    tail -n 40 "$dir/$name.log"
    echo "!! $name failed (see $dir/$name.log)"
    status=1
  fi
done
exit $status
