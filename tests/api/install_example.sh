#!/usr/bin/env bash
# Installs the build into a scratch prefix and builds the example there as a user would:
# with pkg-config (shared and static library) and with find_package(Deckscribe). Each build
# must print the same text as dkscrcmd.
#   install_example.sh BUILD_DIR SOURCE_DIR SCRATCH_DIR SAMPLE... (extra C flags in EXAMPLE_CFLAGS)
set -euo pipefail
build=$1 source=$2 scratch=$3
shift 3
rm -rf "$scratch"
mkdir -p "$scratch"
prefix=$scratch/prefix
cmake --install "$build" --prefix "$prefix" >"$scratch/install.log"

pcdir=$(dirname "$(find "$prefix" -name deckscribe.pc | head -n 1)")
cflags=(${EXAMPLE_CFLAGS:-})
pkg() { PKG_CONFIG_PATH=$pcdir pkg-config "$@" deckscribe; }
libdir=$(pkg --variable=libdir)
[ -f "$libdir/libdeckscribe.so.0" ] || { echo "no libdeckscribe.so.0 in $libdir"; exit 1; }
example=$source/examples/deckscribe_text.c

cc -std=c99 -Wall -Werror "${cflags[@]}" "$example" $(pkg --cflags --libs) \
   -Wl,-rpath,"$libdir" -o "$scratch/by_pkgconfig"
cc -std=c99 -Wall -Werror "${cflags[@]}" "$example" $(pkg --cflags) "$libdir/libdeckscribe.a" \
   $(pkg --libs-only-l --static | sed 's/-ldeckscribe//') -o "$scratch/by_pkgconfig_static"

cmake -S "$source/examples" -B "$scratch/cmake-build" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" \
      -DCMAKE_C_FLAGS="${EXAMPLE_CFLAGS:-}" >"$scratch/cmake.log"
cmake --build "$scratch/cmake-build" >>"$scratch/cmake.log"

status=0
for sample in "$@"; do
  "$prefix/bin/dkscrcmd" -c65001 "$sample" '*' | tail -c +4 >"$scratch/expected"
  for program in "$scratch/by_pkgconfig" "$scratch/by_pkgconfig_static" \
                 "$scratch/cmake-build/deckscribe_text" "$scratch/cmake-build/deckscribe_text_static"; do
    if ! "$program" "$sample" | cmp -s - "$scratch/expected"; then
      echo "$program: text of $sample differs from dkscrcmd's"
      status=1
    fi
  done
done
# The shared library shows the C interface and nothing of the core.
if nm -D --defined-only "$libdir/libdeckscribe.so.0" | awk '{print $3}' | grep -v '^dkscr_' | grep -q .; then
  echo "libdeckscribe.so.0 exports more than dkscr_*"
  status=1
fi
[ $status -eq 0 ] && echo "example built with pkg-config and find_package; text as dkscrcmd's"
exit $status
