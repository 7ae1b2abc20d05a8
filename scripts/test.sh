#!/usr/bin/env bash
# Sets up, builds and runs every test: once built by GCC as a release (-O3), once built by
# clang for debugging under AddressSanitizer and UndefinedBehaviorSanitizer; builds and checks
# the Debian packages; then runs each fuzz target for a short time on its seed corpus.
# Warnings are errors in both builds.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh --fuzz --package
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

echo "== tests (GCC, Release)"
scripts/build.sh build -DCMAKE_BUILD_TYPE=Release -DDKSCR_WERROR=ON
ctest --test-dir build --output-on-failure -j "$jobs"

echo "== packages"
scripts/package.sh build

echo "== tests (clang, Debug, AddressSanitizer and UndefinedBehaviorSanitizer)"
CXX=clang++ scripts/build.sh build-asan -DCMAKE_BUILD_TYPE=Debug -DDKSCR_SANITIZE=ON \
  -DDKSCR_BUILD_BENCH=OFF -DDKSCR_WERROR=ON
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure -j "$jobs"

echo "== fuzz targets"
CXX=clang++ scripts/build.sh build-fuzz -DDKSCR_FUZZ=ON
scripts/run-fuzz.sh build-fuzz "${FUZZ_SECONDS:-10}"
