#!/usr/bin/env bash
# Exit code, wall time and peak memory of dkscrcmd in every form on the hostile decks the tests
# build (bench/HostileDecksWrite.cpp), side by side for two builds: the one before a change and
# the one after. Every run of the build after must end within 10 s and 512 MiB.
#
#   bench/hostile_forms_bench.sh [BUILD_DIR] [BEFORE_BUILD_DIR]
#
# BUILD_DIR defaults to build (needs cli/dkscrcmd and bench's hostile_decks_write). Runs are
# held to LIMIT_MIB of address space (default 4096) and LIMIT_SECONDS (default 60), so that a
# build without the bounds cannot take the machine: such a run shows "killed" or -13.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
before=${2:-}
limit_kib=$(( ${LIMIT_MIB:-4096} * 1024 ))
limit_s=${LIMIT_SECONDS:-60}
[ -x "$build/cli/dkscrcmd" ] && [ -x "$build/bench/hostile_decks_write" ] ||
  { echo "build first: scripts/build.sh $build -- dkscrcmd hostile_decks_write" >&2; exit 1; }
[ -x /usr/bin/time ] || { echo "missing /usr/bin/time (Debian package time)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bench/hostile_decks_write" "$work" >/dev/null

# exit wall-seconds peak-MiB output-bytes
run() {
  local cmd=$1 mode=$2 file=$3 code
  set +e
  ( ulimit -v "$limit_kib"; timeout -s KILL "$limit_s" /usr/bin/time -f "%e %M" -o "$work/time" \
      "$cmd" -c65001 "-m$mode" "$file" '*' >"$work/out" 2>/dev/null )
  code=$?
  set -e
  local out; out=$(stat -c %s "$work/out")
  if [ ! -s "$work/time" ] || grep -q -i "command terminated\|killed" "$work/time"; then
    echo "killed - - $out"
  else
    read -r wall kib < <(tail -1 "$work/time")
    echo "$(( code > 127 ? code - 256 : code )) $wall $(( kib / 1024 )) $out"
  fi
  rm -f "$work/time"
}

printf '%-24s %-5s %-28s %s\n' deck form "before: exit s MiB bytes" "after: exit s MiB bytes"
for file in "$work"/*.ppt "$work"/*.pptx; do
  for mode in text full md json; do
    after=$(run "$build/cli/dkscrcmd" "$mode" "$file")
    earlier=-
    [ -n "$before" ] && earlier=$(run "$before/cli/dkscrcmd" "$mode" "$file")
    printf '%-24s %-5s %-28s %s\n' "$(basename "$file")" "$mode" "$earlier" "$after"
  done
done
