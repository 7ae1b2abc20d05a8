#!/usr/bin/env bash
# Whole-corpus throughput in one process of two builds side by side: bench/corpus_throughput
# of each, run in turn ROUNDS times; prints per format and source the median MB/s and files/s
# of each and the ratio new / old (1 or more: no slower).
#
#   bench/throughput_bench.sh OLD_BINARY NEW_BINARY [ROUNDS] [CORPUS_DIR]
#
# The old binary is CorpusThroughput.cpp built against the old library, for instance:
#   git archive main | tar -x -C /tmp/old && cmake -S /tmp/old -B /tmp/old/build -G Ninja \
#     -DCMAKE_BUILD_TYPE=Release -DDKSCR_BUILD_APP=OFF && cmake --build /tmp/old/build --target dkscr_tools
#   l=/tmp/old/build; g++ -std=c++20 -O3 -DNDEBUG -D_FILE_OFFSET_BITS=64 -I/tmp/old bench/CorpusThroughput.cpp \
#     $l/convert/libdkscr_convert.a $l/pptx/libdkscr_pptx.a $l/ppt/libdkscr_ppt.a $l/model/libdkscr_model.a \
#     $l/xml/libdkscr_xml.a $l/zip/libdkscr_zip.a $l/cfb/libdkscr_cfb.a $l/text/libdkscr_text.a \
#     $l/platform/libdkscr_platform.a -o /tmp/old/corpus_throughput
set -euo pipefail
old=${1:?old corpus_throughput binary}
new=${2:?new corpus_throughput binary}
rounds=${3:-3}
corpus=${4:-$(cd "$(dirname "$0")/.." && pwd)/../shared/corpus}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for ((r = 0; r < rounds; r++)); do
  "$old" 5 "$corpus" >>"$work/old"
  "$new" 5 "$corpus" >>"$work/new"
done
echo "machine: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//'), $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-13s %10s %10s %12s %12s %6s\n' "" "old MB/s" "new MB/s" "old files/s" "new files/s" "new/old"
median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
for key in ".ppt disk" ".ppt memory" ".pptx disk" ".pptx memory" "all disk" "all memory"; do
  pick() { awk -v k="$key" -v col="$2" '($1 " " $2) == k { print $col }' "$work/$1" | median; }
  om=$(pick old 7); nm=$(pick new 7); of=$(pick old 9); nf=$(pick new 9)
  printf '%-13s %10.1f %10.1f %12.0f %12.0f %6.2f\n' "$key" "$om" "$nm" "$of" "$nf" "$(awk -v a="$om" -v b="$nm" 'BEGIN { print b / a }')"
done
