#!/usr/bin/env bash
# Sets up, builds and runs every test: once as is, once under AddressSanitizer and
# UndefinedBehaviorSanitizer, then each fuzz target for a short time on its seed corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh --fuzz
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

echo "== tests"
scripts/build.sh build
ctest --test-dir build --output-on-failure -j "$jobs"

echo "== tests under AddressSanitizer and UndefinedBehaviorSanitizer"
scripts/build.sh build-asan -DDKSCR_SANITIZE=ON -DDKSCR_BUILD_BENCH=OFF
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure -j "$jobs"

echo "== fuzz targets"
CXX=clang++ scripts/build.sh build-fuzz -DDKSCR_FUZZ=ON
scripts/run-fuzz.sh build-fuzz "${FUZZ_SECONDS:-10}"
