#!/usr/bin/env bash
# Start-up of dkscrcmd: a one-slide .ppt and .pptx converted to standard output, against a
# static "hello" of the same build, the two started in turn RUNS times per pass for PASSES
# passes; prints the median time per run and the ratio (target: 1.3 at most). OLD_DKSCRCMD,
# when given, is measured the same way (an earlier build, for before and after).
#
#   bench/startup_bench.sh [BUILD_DIR] [RUNS] [PASSES] [OLD_DKSCRCMD]
#
# BUILD_DIR needs cli/dkscrcmd, tests/cli/dkscr_make_deck, bench/startup_hello and
# bench/spawn_timer (a Release build with -DDKSCR_BUILD_BENCH=ON).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
runs=${2:-50}
passes=${3:-10}
old=${4:-}
cmd=$build/cli/dkscrcmd
for tool in "$cmd" "$build/tests/cli/dkscr_make_deck" "$build/bench/startup_hello" "$build/bench/spawn_timer"; do
  [ -x "$tool" ] || { echo "missing $tool: build it first" >&2; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/tests/cli/dkscr_make_deck" large 1 "$work" >/dev/null

echo "machine: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//'), $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
echo "$cmd: $(if ldd "$cmd" >/dev/null 2>&1; then echo dynamically linked; else echo static; fi)"
for deck in large-1.ppt large-1.pptx; do
  for program in "$cmd" $old; do
    echo "--- $program -c65001 $deck '*' against startup_hello"
    "$build/bench/spawn_timer" "$runs" "$passes" -- "$build/bench/startup_hello" -- "$program" -c65001 "$work/$deck" '*'
  done
done
echo "--- $cmd $(basename "$work")/large-1.ppt '*' (default code page: the user's locale loaded) against startup_hello"
"$build/bench/spawn_timer" "$runs" "$passes" -- "$build/bench/startup_hello" -- "$cmd" "$work/large-1.ppt" '*'
echo "--- dkscrcmd without arguments (usage) against startup_hello"
"$build/bench/spawn_timer" "$runs" "$passes" -- "$build/bench/startup_hello" -- "$cmd"
