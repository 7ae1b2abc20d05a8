#!/usr/bin/env bash
# End-to-end timing of dkscrcmd, one process per file as a shell loop runs it, next to catppt
# (.ppt) and a naive Python zipfile + ElementTree extractor (.pptx), plus one large deck.
#
#   bench/cli_bench.sh [BUILD_DIR] [CORPUS_DIR] [ROUNDS]
#
# BUILD_DIR defaults to build (needs cli/dkscrcmd and tests/cli/dkscr_make_deck), CORPUS_DIR
# to ../shared/corpus, ROUNDS (passes over the folder) to 5. Prints the time per file, the
# ratios and the peak resident memory of each tool.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
corpus=${2:-../shared/corpus}
rounds=${3:-5}
large_slides=2000
cmd=$build/cli/dkscrcmd
make_deck=$build/tests/cli/dkscr_make_deck
python=${PYTHON:-python3}
extractor=bench/pptx_text_naive.py

for tool in "$cmd" "$make_deck"; do
  [ -x "$tool" ] || { echo "missing $tool: build first (scripts/build.sh $build)" >&2; exit 1; }
done
[ -x /usr/bin/time ] || { echo "missing /usr/bin/time (Debian package time)" >&2; exit 1; }
have_catppt=1; command -v catppt >/dev/null || have_catppt=0

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mapfile -t ppt_files < <(find "$corpus" -maxdepth 1 -type f -iname '*.ppt' | sort)
mapfile -t pptx_files < <(find "$corpus" -maxdepth 1 -type f -iname '*.pptx' | sort)

# One pass of a tool over the files, one process per file, output discarded.
run_pass() {
  local kind=$1 f; shift
  for f in "$@"; do
    case $kind in
      dkscrcmd) "$cmd" -c65001 "$f" '*' >/dev/null || true ;;
      catppt) catppt -d utf-8 "$f" >/dev/null 2>&1 || true ;;
      python) "$python" "$extractor" "$f" >/dev/null 2>&1 || true ;;
    esac
  done
}

# Seconds per file of two tools over the same files; their passes alternate round by round so
# that a change in the machine's load touches both alike. Prints "ours theirs".
time_pair() {
  local ours=$1 theirs=$2; shift 2
  local r t0 t1 t2 sum_ours=0 sum_theirs=0
  run_pass "$ours" "$@"; run_pass "$theirs" "$@"  # warm the page cache
  for ((r = 0; r < rounds; r++)); do
    t0=$EPOCHREALTIME; run_pass "$ours" "$@"
    t1=$EPOCHREALTIME; run_pass "$theirs" "$@"
    t2=$EPOCHREALTIME
    sum_ours=$(awk -v a="$sum_ours" -v b="$t0" -v c="$t1" 'BEGIN { printf "%.6f", a + c - b }')
    sum_theirs=$(awk -v a="$sum_theirs" -v b="$t1" -v c="$t2" 'BEGIN { printf "%.6f", a + c - b }')
  done
  awk -v a="$sum_ours" -v b="$sum_theirs" -v n="$#" -v r="$rounds" \
    'BEGIN { printf "%.6f %.6f", a / (n * r), b / (n * r) }'
}

# Largest peak resident set (kB) over single runs of the files.
peak_kb() {
  local kind=$1; shift
  local peak=0 kb f
  for f in "$@"; do
    case $kind in
      dkscrcmd) kb=$(/usr/bin/time -f %M "$cmd" -c65001 "$f" '*' 2>&1 >/dev/null | tail -1) ;;
      catppt) kb=$(/usr/bin/time -f %M catppt -d utf-8 "$f" 2>&1 >/dev/null | tail -1) ;;
      python) kb=$(/usr/bin/time -f %M "$python" "$extractor" "$f" 2>&1 >/dev/null | tail -1) ;;
    esac
    [[ $kb =~ ^[0-9]+$ ]] && ((kb > peak)) && peak=$kb
  done
  echo "$peak"
}

ms() { awk -v s="$1" 'BEGIN { printf "%8.2f ms", s * 1000 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.1fx", a / b; else print "n/a" }'; }

report() {  # label, kind, reference kind, files...
  local label=$1 kind=$2 ref=$3; shift 3
  local ours theirs pair
  pair=$(time_pair "$kind" "$ref" "$@")
  ours=${pair% *}
  theirs=${pair#* }
  printf '%-30s dkscrcmd %s/file  %-8s %s/file  dkscrcmd faster by %s\n' \
    "$label ($# files)" "$(ms "$ours")" "$ref" "$(ms "$theirs")" "$(ratio "$theirs" "$ours")"
  printf '%-30s peak memory: dkscrcmd %6d kB  %-8s %6d kB\n' "" \
    "$(peak_kb "$kind" "$@")" "$ref" "$(peak_kb "$ref" "$@")"
}

echo "dkscrcmd end-to-end benchmark: $rounds rounds, one process per file"
echo "corpus: $corpus"
if ((${#ppt_files[@]} > 0)); then
  if ((have_catppt)); then
    report ".ppt vs catppt" dkscrcmd catppt "${ppt_files[@]}"
  else
    echo ".ppt: catppt not installed (Debian package catdoc), comparison skipped"
  fi
fi
if ((${#pptx_files[@]} > 0)); then
  report ".pptx vs Python" dkscrcmd python "${pptx_files[@]}"
fi

"$make_deck" large "$large_slides" "$work"
for f in "$work/large-$large_slides.ppt" "$work/large-$large_slides.pptx"; do
  size=$(stat -c %s "$f")
  ours=$(/usr/bin/time -f '%e %M' "$cmd" -c65001 "$f" "$work/out.txt" 2>&1 >/dev/null | tail -1)
  rm -f "$work/out.txt"
  printf 'large deck %-18s (%d slides, %d bytes): dkscrcmd %s s, peak %s kB' \
    "$(basename "$f")" "$large_slides" "$size" ${ours% *} ${ours#* }
  case $f in
    *.pptx) theirs=$(/usr/bin/time -f '%e %M' "$python" "$extractor" "$f" 2>&1 >/dev/null | tail -1)
            printf '; Python %s s, peak %s kB\n' ${theirs% *} ${theirs#* } ;;
    *)      if ((have_catppt)); then
              theirs=$(/usr/bin/time -f '%e %M' catppt -d utf-8 "$f" 2>&1 >/dev/null | tail -1)
              printf '; catppt %s s, peak %s kB\n' ${theirs% *} ${theirs#* }
            else echo; fi ;;
  esac
done
