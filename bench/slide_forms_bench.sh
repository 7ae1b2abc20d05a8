#!/usr/bin/env bash
# Time and peak memory of every form of dkscrcmd (the default text, -mfull, -mmd, -mjson) on
# generated decks of 20,000 and 100,000 slides of both formats: each form PASSES times, the
# forms in turn within a pass, the median wall time and the largest peak resident set
# reported with the form's output, its memory bound (three times its output plus 16 MB) and
# its time over the default text's (target: at most 1.5).
#
#   bench/slide_forms_bench.sh [BUILD_DIR] [PASSES] [OLD_DKSCRCMD]
#
# BUILD_DIR needs cli/dkscrcmd and tests/cli/dkscr_make_deck; OLD_DKSCRCMD, when given, runs
# each form too, in turn with the new one (an earlier build, for before and after), and its
# output is compared byte for byte. SLIDES="200" runs other deck sizes (a smoke run).
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/deck_bench_setup.sh

# "seconds peak_kB" of one run of a form, its output into a file.
measure() {
  local tool=$1 form=$2 deck=$3 out=$4
  /usr/bin/time -f '%e %M' -o "$work/time" "$tool" -c65001 "-m$form" "$deck" '*' >"$out" 2>/dev/null ||
    echo "  exit $? from $tool -m$form $(basename "$deck")" >&2
  tail -n 1 "$work/time"
}

echo "machine: $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-19s %-5s %11s %8s %9s %9s %6s %6s %s\n' deck form out_bytes seconds peak_kB bound_kB memory s/text "old: s kB"
fails=0
for slides in ${SLIDES:-20000 100000}; do
  "$make_deck" large "$slides" "$work" >/dev/null
  for ext in ppt pptx; do
    deck=$work/large-$slides.$ext
    rm -f "$work"/r.*
    for ((p = 0; p < passes; p++)); do
      for form in text full md json; do
        measure "$cmd" "$form" "$deck" "$work/out.$form" >>"$work/r.$form"
        if [ -n "$old" ]; then
          measure "$old" "$form" "$deck" "$work/old.$form" >>"$work/r.old.$form"
          cmp -s "$work/out.$form" "$work/old.$form" || { echo "  -m$form OUTPUT DIFFERS from the old build"; fails=1; }
        fi
      done
    done
    read -r text_s _ < <(summary "$work/r.text")
    for form in text full md json; do
      bytes=$(stat -c %s "$work/out.$form")
      read -r seconds kb < <(summary "$work/r.$form")
      bound=$(( (3 * bytes + 16 * 1024 * 1024) / 1024 ))
      mark=ok
      [ "$kb" -le "$bound" ] || { mark=OVER; fails=1; }
      olds=""
      [ -n "$old" ] && olds=$(summary "$work/r.old.$form")
      printf '%-19s %-5s %11d %8.2f %9d %9d %6s %6.2f %s\n' "large-$slides.$ext" "$form" "$bytes" "$seconds" "$kb" "$bound" \
        "$mark" "$(awk -v a="$seconds" -v b="$text_s" 'BEGIN { print (b > 0 ? a / b : 0) }')" "$olds"
    done
  done
  rm -f "$work"/large-*
done
[ "$fails" = 0 ] || echo "a form passed its memory bound or changed its output"
