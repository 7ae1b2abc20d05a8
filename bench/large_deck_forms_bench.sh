#!/usr/bin/env bash
# Time and peak memory of every output form of dkscrcmd (text, full, md, json) on the generated
# decks of 20,000 and 100,000 slides of both formats, each form over the default text's time:
# the slide forms are meant to stay within 1.5 times it. With an earlier build's dkscrcmd as
# OLD_DKSCRCMD, its runs alternate with this build's and each line gives both, so that a change
# is measured under the same load.
#
#   bench/large_deck_forms_bench.sh [BUILD_DIR] [PASSES] [OLD_DKSCRCMD] [SLIDES...]
#
# BUILD_DIR needs cli/dkscrcmd and tests/cli/dkscr_make_deck. Times are the median over PASSES
# of the processor time (user + system: steadier than the wall clock on a shared machine) and
# of the wall time; peak is the largest resident set.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
passes=${2:-3}
old=${3:-}
shift $(( $# < 3 ? $# : 3 ))
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(20000 100000)
cmd=$build/cli/dkscrcmd
make_deck=$build/tests/cli/dkscr_make_deck
for tool in "$cmd" "$make_deck"; do
  [ -x "$tool" ] || { echo "missing $tool: build it first" >&2; exit 1; }
done
[ -x /usr/bin/time ] || { echo "missing /usr/bin/time (Debian package time)" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Appends "cpu_seconds wall_seconds peak_kB" of one run to a file; the output is dropped.
measure() {
  local into=$1; shift
  /usr/bin/time -f '%U %S %e %M' -o "$work/time" "$@" >/dev/null 2>&1 || true
  awk '{ printf "%.3f %.3f %d\n", $1 + $2, $3, $4 }' "$work/time" >>"$into"
}
# "median_cpu median_wall max_peak_kB" of a file of runs.
summary() {
  local cpu wall
  cpu=$(cut -d' ' -f1 "$1" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }')
  wall=$(cut -d' ' -f2 "$1" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }')
  echo "$cpu $wall $(cut -d' ' -f3 "$1" | sort -g | tail -n 1)"
}

echo "machine: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//'), $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-18s %-5s %8s %8s %9s %8s' deck form cpu_s wall_s peak_kB /text
[ -n "$old" ] && printf ' %8s %8s %9s %8s %8s' old_cpu old_wall old_kB old/text new/old
printf '\n'
forms=(text full md json)
for slides in "${sizes[@]}"; do
  "$make_deck" large "$slides" "$work" >/dev/null
  for ext in ppt pptx; do
    deck=$work/large-$slides.$ext
    rm -f "$work"/r.*
    for ((p = 0; p < passes; p++)); do
      for form in "${forms[@]}"; do
        measure "$work/r.new.$form" "$cmd" "-m$form" -c65001 "$deck" '*'
        [ -n "$old" ] && measure "$work/r.old.$form" "$old" "-m$form" -c65001 "$deck" '*'
      done
    done
    read -r text_cpu _ _ < <(summary "$work/r.new.text")
    [ -n "$old" ] && read -r old_text_cpu _ _ < <(summary "$work/r.old.text")
    for form in "${forms[@]}"; do
      read -r cpu wall peak < <(summary "$work/r.new.$form")
      printf '%-18s %-5s %8.2f %8.2f %9d %8.2f' "large-$slides.$ext" "$form" "$cpu" "$wall" "$peak" \
        "$(awk -v a="$cpu" -v b="$text_cpu" 'BEGIN { print (b > 0 ? a / b : 0) }')"
      if [ -n "$old" ]; then
        read -r ocpu owall opeak < <(summary "$work/r.old.$form")
        printf ' %8.2f %8.2f %9d %8.2f %8.2f' "$ocpu" "$owall" "$opeak" \
          "$(awk -v a="$ocpu" -v b="$old_text_cpu" 'BEGIN { print (b > 0 ? a / b : 0) }')" \
          "$(awk -v a="$cpu" -v b="$ocpu" 'BEGIN { print (b > 0 ? a / b : 0) }')"
      fi
      printf '\n'
    done
  done
  rm -f "$work"/large-*
done
