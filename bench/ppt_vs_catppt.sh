#!/usr/bin/env bash
# Times our .ppt conversion against catppt (Debian package catdoc) on the same files:
#   bench/ppt_vs_catppt.sh [BUILD_DIR] [ROUNDS] [CORPUS_DIR]
# Two comparisons, both over every .ppt file of the corpus, ROUNDS times, output discarded:
#   1. one process per file: `ppt_convert_files -p FILE` against `catppt FILE` (start-up of a
#      process included on both sides, as a user running either tool per file sees it);
#   2. in-process: one `ppt_convert_files -r ROUNDS` run over all files against the same
#      catppt per-file loop (catppt has no in-process mode).
# Prints wall-clock seconds, files/s and the ratio catppt time / our time (above 1: we are faster).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
rounds=${2:-20}
corpus=${3:-../shared/corpus}
ours="$build/bench/ppt_convert_files"
[ -x "$ours" ] || { echo "build $ours first (cmake --build $build --target ppt_convert_files)"; exit 1; }
command -v catppt >/dev/null || { echo "catppt not installed (apt-get install catdoc)"; exit 1; }
mapfile -t files < <(find "$corpus" -maxdepth 1 -name '*.ppt' | sort)
[ ${#files[@]} -gt 0 ] || { echo "no .ppt files in $corpus"; exit 1; }
bytes=$(cat "${files[@]}" | wc -c)
n=$(( ${#files[@]} * rounds ))

now() { date +%s.%N; }
elapsed() { echo "$2 - $1" | bc -l; }

t0=$(now)
for ((r = 0; r < rounds; r++)); do
  for f in "${files[@]}"; do catppt "$f" >/dev/null 2>&1 || true; done
done
t1=$(now)
for ((r = 0; r < rounds; r++)); do
  for f in "${files[@]}"; do "$ours" -p "$f" >/dev/null 2>&1 || true; done
done
t2=$(now)
"$ours" -r "$rounds" "${files[@]}" >/dev/null 2>&1 || true
t3=$(now)

cat_s=$(elapsed "$t0" "$t1"); proc_s=$(elapsed "$t1" "$t2"); inproc_s=$(elapsed "$t2" "$t3")
printf '%d files (%d bytes) x %d rounds = %d conversions\n' "${#files[@]}" "$bytes" "$rounds" "$n"
printf '%-34s %9.3f s %10.1f files/s %8.2f MB/s\n' "catppt, one process per file" "$cat_s" "$(echo "$n / $cat_s" | bc -l)" "$(echo "$bytes * $rounds / $cat_s / 1000000" | bc -l)"
printf '%-34s %9.3f s %10.1f files/s %8.2f MB/s\n' "ours, one process per file" "$proc_s" "$(echo "$n / $proc_s" | bc -l)" "$(echo "$bytes * $rounds / $proc_s / 1000000" | bc -l)"
printf '%-34s %9.3f s %10.1f files/s %8.2f MB/s\n' "ours, in-process" "$inproc_s" "$(echo "$n / $inproc_s" | bc -l)" "$(echo "$bytes * $rounds / $inproc_s / 1000000" | bc -l)"
printf 'ratio catppt / ours (process per file): %.2f\n' "$(echo "$cat_s / $proc_s" | bc -l)"
printf 'ratio catppt / ours (in-process):       %.2f\n' "$(echo "$cat_s / $inproc_s" | bc -l)"
