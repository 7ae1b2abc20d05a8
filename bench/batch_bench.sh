#!/usr/bin/env bash
# Files per second over a folder of presentations: dkscrbatch on one worker and on every
# core, next to a loop that starts dkscrcmd once per file and catppt once per .ppt file.
#
#   bench/batch_bench.sh [BUILD_DIR] [CORPUS_DIR] [REPEAT]
#
# BUILD_DIR defaults to build (needs batch/dkscrbatch and cli/dkscrcmd), CORPUS_DIR to
# ../shared/corpus. dkscrbatch gets the file list REPEAT times over (default 50) so that a
# run lasts long enough to time (and, for text files, a tree of links to it REPEAT times);
# the per-process loops go over the list 5 times. Output goes to /dev/null or a scratch folder.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
corpus=${2:-../shared/corpus}
repeat=${3:-50}
loops=5
batch=$build/batch/dkscrbatch
cmd=$build/cli/dkscrcmd
for tool in "$batch" "$cmd"; do
  [ -x "$tool" ] || { echo "missing $tool: build first" >&2; exit 1; }
done
have_catppt=1; command -v catppt >/dev/null || have_catppt=0

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

family='.*\.\(ppt\|pps\|pot\|pptx\|pptm\|ppsx\|ppsm\|potx\|potm\)'
mapfile -t files < <(find "$corpus" -type f -iregex "$family" | sort)
mapfile -t ppt_files < <(find "$corpus" -type f -iregex '.*\.ppt' | sort)
((${#files[@]} > 0)) || { echo "no presentations in $corpus" >&2; exit 1; }
for ((r = 0; r < repeat; r++)); do printf '%s\n' "${files[@]}"; done > "$work/list"
batch_count=$((repeat * ${#files[@]}))
# Text files need distinct names: the same corpus REPEAT times as a tree of links.
for ((r = 0; r < repeat; r++)); do
  mkdir -p "$work/tree/$r"
  for f in "${files[@]}"; do ln -s "$(realpath "$f")" "$work/tree/$r/"; done
done

now() { echo "$EPOCHREALTIME"; }
rate() { awk -v n="$1" -v a="$2" -v b="$3" 'BEGIN { printf "%.1f", n / (b - a) }'; }

# dkscrcmd takes the type from the extension; the family members other than .ppt and .pptx
# get theirs with -t, so that every file is really converted.
cmd_loop() {
  local f t
  for ((r = 0; r < loops; r++)); do
    for f in "${files[@]}"; do
      case ${f,,} in *.ppt|*.pps|*.pot) t=-tppt ;; *) t=-tpptx ;; esac
      "$cmd" -c65001 "$t" "$f" '*' >/dev/null || true
    done
  done
}
catppt_loop() {
  local f
  for ((r = 0; r < loops; r++)); do
    for f in "${ppt_files[@]}"; do catppt -d utf-8 "$f" >/dev/null 2>&1 || true; done
  done
}

"$batch" -q --files-from "$work/list" >/dev/null 2>&1 || true  # warm the page cache
cmd_loop

echo "dkscrbatch benchmark on $(nproc) cores, load average $(cut -d' ' -f1 /proc/loadavg); corpus: $corpus (${#files[@]} presentations)"
t0=$(now); "$batch" -q -j1 --files-from "$work/list" >/dev/null 2>&1 || true; t1=$(now)
one=$(rate "$batch_count" "$t0" "$t1")
t0=$(now); "$batch" -q --files-from "$work/list" >/dev/null 2>&1 || true; t1=$(now)
all=$(rate "$batch_count" "$t0" "$t1")
t0=$(now); "$batch" -q -d "$work/out" "$work/tree" 2>/dev/null || true; t1=$(now)
text_files=$(rate "$batch_count" "$t0" "$t1")
t0=$(now); cmd_loop; t1=$(now)
loop=$(rate $((loops * ${#files[@]})) "$t0" "$t1")

printf '%-46s %10s files/s\n' "dkscrbatch -j1 (JSON Lines, $batch_count files)" "$one"
printf '%-46s %10s files/s\n' "dkscrbatch, all cores (JSON Lines)" "$all"
printf '%-46s %10s files/s\n' "dkscrbatch, all cores (-d text files)" "$text_files"
printf '%-46s %10s files/s\n' "dkscrcmd, one process per file" "$loop"
if ((have_catppt && ${#ppt_files[@]} > 0)); then
  t0=$(now); catppt_loop; t1=$(now)
  printf '%-46s %10s files/s\n' "catppt, one process per .ppt file" \
    "$(rate $((loops * ${#ppt_files[@]})) "$t0" "$t1")"
else
  echo "catppt: not installed (Debian package catdoc), skipped"
fi
awk -v a="$all" -v b="$loop" 'BEGIN { printf "dkscrbatch on all cores / dkscrcmd loop: %.1fx (target 10x)\n", a / b }'
