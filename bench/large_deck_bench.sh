#!/usr/bin/env bash
# Time and peak memory of dkscrcmd on generated decks of 2,000, 20,000 and 100,000 slides,
# .ppt against catppt (Debian package catdoc) and .pptx against the Python extractor
# (bench/pptx_text_naive.py), side by side: each tool PASSES times in turn, the median wall
# time and the largest peak resident set reported, with the memory bound of a conversion
# (three times the output text plus 16 MB) and the ratios.
#
#   bench/large_deck_bench.sh [BUILD_DIR] [PASSES] [OLD_DKSCRCMD]
#
# BUILD_DIR needs cli/dkscrcmd and tests/cli/dkscr_make_deck; OLD_DKSCRCMD, when given, is run
# as a third tool (an earlier build, for before and after).
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/deck_bench_setup.sh
python=${PYTHON:-python3}
command -v catppt >/dev/null || { echo "catppt not installed (apt-get install catdoc)" >&2; exit 1; }

# "seconds peak_kB" of one run, output to a file.
measure() {
  /usr/bin/time -f '%e %M' -o "$work/time" "$@" >"$work/out" 2>/dev/null || true
  tail -n 1 "$work/time"
}

echo "machine: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//'), $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-18s %10s %10s %-9s %8s %10s %8s %10s %9s %9s\n' deck bytes text_bytes peer peer_s peer_kB ours_s ours_kB bound_kB kB/peer
for slides in 2000 20000 100000; do
  "$make_deck" large "$slides" "$work" >/dev/null
  for ext in ppt pptx; do
    deck=$work/large-$slides.$ext
    rm -f "$work"/r.*
    for ((p = 0; p < passes; p++)); do
      measure "$cmd" -o -c65001 "$deck" "$work/text" >>"$work/r.ours"
      if [ "$ext" = ppt ]; then
        measure catppt -d utf-8 "$deck" >>"$work/r.peer"
      else
        measure "$python" bench/pptx_text_naive.py "$deck" >>"$work/r.peer"
      fi
      [ -n "$old" ] && measure "$old" -o -c65001 "$deck" "$work/text-old" >>"$work/r.old"
    done
    text=$(stat -c %s "$work/text")
    read -r ours_s ours_kb < <(summary "$work/r.ours")
    read -r peer_s peer_kb < <(summary "$work/r.peer")
    bound=$(( (3 * text + 16 * 1024 * 1024) / 1024 ))
    peer=$([ "$ext" = ppt ] && echo catppt || echo python)
    printf '%-18s %10d %10d %-9s %8.2f %10d %8.2f %10d %9d %9.1f\n' "large-$slides.$ext" "$(stat -c %s "$deck")" "$text" \
      "$peer" "$peer_s" "$peer_kb" "$ours_s" "$ours_kb" "$bound" "$(awk -v a="$ours_kb" -v b="$peer_kb" 'BEGIN { print a / b }')"
    if [ -n "$old" ]; then
      read -r old_s old_kb < <(summary "$work/r.old")
      printf '%-18s %10s %10s %-9s %8.2f %10d\n' "" "" "" "old" "$old_s" "$old_kb"
      cmp -s "$work/text" "$work/text-old" || echo "  OUTPUT DIFFERS from the old build"
    fi
  done
  rm -f "$work"/large-*
done
