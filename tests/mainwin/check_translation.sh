#!/bin/sh
# Every text of the program has a finished German translation: lupdate finds nothing new in
# the sources for a copy of the translation, and lrelease finds nothing unfinished in it.
#   check_translation.sh LUPDATE LRELEASE SOURCE_DIR TS WORK_DIR
set -eu
lupdate=$1 lrelease=$2 source=$3 ts=$4 work=$5
mkdir -p "$work"
cp "$ts" "$work/check.ts"
found=$("$lupdate" -no-obsolete -locations none -I "$source" "$source/app" -ts "$work/check.ts")
echo "$found"
echo "$found" | grep -q "(0 new and" || { echo "texts without a translation"; exit 1; }
released=$("$lrelease" "$work/check.ts" -qm "$work/check.qm")
echo "$released"
echo "$released" | grep -q " 0 unfinished)" || { echo "unfinished translations"; exit 1; }
echo "$released" | grep -q "untranslated" && { echo "untranslated texts"; exit 1; }
exit 0
