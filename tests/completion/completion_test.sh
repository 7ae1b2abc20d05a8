#!/usr/bin/env bash
# Drives the console programs' bash completion as bash would and checks what it offers.
set -uo pipefail
shopt -s extglob
source "$1/dkscrcmd"
source "$1/dkscrbatch"
cd "$(mktemp -d)" || exit 1
trap 'rm -rf "$PWD"' EXIT
touch a.ppt b.PPTX c.txt d.potm e.pps f.pptxx
mkdir sub
failures=0

offered() {  # offered WORD... : dkscrcmd's completion of the last word
  COMP_WORDS=(dkscrcmd "$@")
  COMP_CWORD=$#
  COMPREPLY=()
  _dkscrcmd
  printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' '
}

batch_offered() {  # the same for dkscrbatch
  COMP_WORDS=(dkscrbatch "$@")
  COMP_CWORD=$#
  COMPREPLY=()
  _dkscrbatch
  printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' '
}

expect() {  # expect WHAT GOT WANTED
  if [ "$2" != "$3" ]; then
    echo "FAIL $1: got '$2', wanted '$3'"
    failures=$((failures + 1))
  fi
}

expect "source" "$(offered '')" "a.ppt b.PPTX d.potm e.pps sub "
expect "source after -o" "$(offered -o '')" "a.ppt b.PPTX d.potm e.pps sub "
expect "destination" "$(offered -c1252 a.ppt '')" "a.ppt b.PPTX c.txt d.potm e.pps f.pptxx sub "
expect "nothing after the destination" "$(offered a.ppt out.txt '')" " "
expect "options" "$(offered -)" "--help --version -c -mfull -mjson -mmd -mtext -o -tppt -tpptx "
expect "help and version" "$(offered --)" "--help --version "
expect "help and version only alone" "$(offered -o -)" "-c -mfull -mjson -mmd -mtext -o -tppt -tpptx "
expect "version" "$(offered --v)" "--version "
expect "modes" "$(offered -mj)" "-mjson "
expect "source after a mode" "$(offered -mfull '')" "a.ppt b.PPTX d.potm e.pps sub "
expect "code pages" "$(offered -c65)" "-c65001 "
expect "upper-case option keeps its case" "$(offered -C120)" "-C1200 "
expect "types" "$(offered -tpp)" "-tppt -tpptx "

expect "batch: long options" "$(batch_offered --o)" "--output-dir --overwrite "
expect "batch: output folder takes folders only" "$(batch_offered -d '')" "sub "
expect "batch: code page" "$(batch_offered -c 6500)" "65001 "
expect "batch: standard input as a list" "$(batch_offered --files-from -)" "- "
expect "batch: modes" "$(batch_offered --mode '')" "full json md text "
expect "batch: mode after -m" "$(batch_offered -q -m j)" "json "
expect "batch: long options" "$(batch_offered --m)" "--mode "
expect "batch: digests off" "$(batch_offered --no)" "--no-sha256 "
expect "batch: paths" "$(batch_offered -q a.p)" "a.ppt "

echo "$failures failed"
[ "$failures" -eq 0 ]
