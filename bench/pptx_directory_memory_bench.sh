#!/usr/bin/env bash
# Peak memory of dkscrcmd's default text on generated .pptx decks of 20,000 and 100,000 slides,
# whose ZIP directories list 50,000 and 250,000 parts, against the bound of two times the
# text plus 16 MB. With OLD_DKSCRCMD, an earlier build runs in turn with this one, for before
# and after; its output must be the same.
#
#   bench/pptx_directory_memory_bench.sh [BUILD_DIR] [PASSES] [OLD_DKSCRCMD]
#
# BUILD_DIR needs cli/dkscrcmd and tests/cli/dkscr_make_deck. Prints, per deck and program,
# the median wall time, the largest peak resident set and the bound, in kB.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/deck_bench_setup.sh

# "seconds peak_kB" of one run.
measure() {
  /usr/bin/time -f '%e %M' -o "$work/time" "$@" >/dev/null 2>&1 || true
  tail -n 1 "$work/time"
}

echo "load $(cut -d' ' -f1-3 /proc/loadavg), $(nproc) cores"
printf '%-20s %-5s %10s %8s %10s %10s %7s\n' deck build text_bytes wall_s peak_kB bound_kB ok
for slides in ${DECK_SLIDES:-20000 100000}; do
  "$make_deck" large "$slides" "$work" >/dev/null
  deck=$work/large-$slides.pptx
  rm -f "$work"/r.*
  for ((p = 0; p < passes; p++)); do
    measure "$cmd" -o -c65001 "$deck" "$work/text" >>"$work/r.new"
    [ -n "$old" ] && measure "$old" -o -c65001 "$deck" "$work/text-old" >>"$work/r.old"
  done
  text=$(stat -c %s "$work/text")
  bound=$(( (2 * text + 16 * 1024 * 1024) / 1024 ))
  for side in new ${old:+old}; do
    read -r seconds peak < <(summary "$work/r.$side")
    printf '%-20s %-5s %10d %8.2f %10d %10d %7s\n' "large-$slides.pptx" "$side" "$text" "$seconds" "$peak" \
      "$bound" "$([ "$peak" -le "$bound" ] && echo yes || echo NO)"
  done
  if [ -n "$old" ] && ! cmp -s "$work/text" "$work/text-old"; then echo "  OUTPUT DIFFERS from the old build"; fi
  rm -f "$work"/large-*
done
