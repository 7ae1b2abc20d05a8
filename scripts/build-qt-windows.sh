#!/usr/bin/env bash
# Builds Qt for 64-bit Windows (mingw-w64) from Debian's own qt6-base source package, the same
# version as the host Qt whose moc, rcc and uic the build uses, and installs it into
#   ${XDG_CACHE_HOME:-~/.cache}/deckscribe/qt-<version>-mingw-<hash>
# where <hash> is this script's own (with the Debian revision of the source): a change here
# builds a new prefix, and a complete prefix is left as it is.
#   scripts/build-qt-windows.sh           builds the prefix unless it is complete; prints it
#   scripts/build-qt-windows.sh --prefix  prints the prefix; builds nothing, and fails while
#                                         the prefix is not complete
# Only what the desktop program needs: Core, Gui, Widgets, the Windows platform plugin and the
# Windows styles, static (one .exe to ship, no DLLs to deploy), with the bundled zlib, libpng,
# FreeType, HarfBuzz and PCRE2; no OpenGL, Vulkan, D-Bus, SQL, network, ICU, printing, PDF,
# graphics view, tablets (Debian removes the Wintab headers), Qt Test, tools or examples.
set -euo pipefail

host_qt() { dpkg-query -W -f='${Version}' qt6-base-dev 2>/dev/null || true; }
prefix_of() {  # Debian version of the host Qt -> the prefix
  local hash
  hash=$({ cat "${BASH_SOURCE[0]}"; echo "$1"; } | sha256sum | cut -c1-12)
  echo "${XDG_CACHE_HOME:-$HOME/.cache}/deckscribe/qt-${1%%+*}-mingw-$hash"
}
stamp=deckscribe-qt-complete

if [ "${1:-}" = --prefix ]; then
  debian_version=$(host_qt)
  [ -n "$debian_version" ] || { echo "build-qt-windows.sh: the host Qt (qt6-base-dev) is not installed" >&2; exit 3; }
  prefix_of "$debian_version"
  [ -f "$(prefix_of "$debian_version")/$stamp" ]
  exit
fi
[ $# -eq 0 ] || { echo "usage: scripts/build-qt-windows.sh [--prefix]" >&2; exit 2; }

scripts=$(cd "$(dirname "$0")" && pwd)
debian_version=$(host_qt)
if [ -n "$debian_version" ] && [ -f "$(prefix_of "$debian_version")/$stamp" ]; then
  prefix_of "$debian_version"
  exit 0
fi

# The host Qt, the cross compiler, CMake and Ninja; dpkg-dev unpacks the source package.
"$scripts/setup.sh" --windows --qt-windows
debian_version=$(host_qt)
prefix=$(prefix_of "$debian_version")
if [ -f "$prefix/$stamp" ]; then echo "$prefix"; exit 0; fi
echo "== Qt ${debian_version%%+*} for Windows: building into $prefix" >&2
start=$(date +%s)

sudo=()
if [ "$(id -u)" -ne 0 ]; then sudo=(sudo); fi
# apt-get source needs deb-src entries: the same Debian suites as the deb entries, in a file
# of this project's own (nothing else in the sources is changed).
sources=/etc/apt/sources.list.d/deckscribe-src.sources
if ! apt-cache showsrc --only-source qt6-base 2>/dev/null | grep -qx "Version: $debian_version"; then
  entries=$(mktemp)
  {
    # deb822 stanzas (*.sources) of Debian's archive, as deb-src.
    for file in /etc/apt/sources.list.d/*.sources; do
      [ -f "$file" ] && [ "$file" != "$sources" ] || continue
      awk 'BEGIN { RS = ""; ORS = "\n\n" }
           /(^|\n)Types:[^\n]*deb([ \n]|$)/ && /(^|\n)URIs:[^\n]*debian/ && !/(^|\n)Enabled: *no/ {
             gsub(/(^|\n)#[^\n]*/, ""); sub(/^\n/, ""); sub(/Types:[^\n]*/, "Types: deb-src"); print }' "$file"
    done
    # One-line entries (sources.list, *.list): deb [options] URI suite component...
    cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null |
      awk '$1 == "deb" && /debian/ {
             i = 2; signed = ""
             if ($2 ~ /^\[/) { while ($i !~ /\]$/) i++; if (match($0, /signed-by=[^] ]*/))
                                 signed = substr($0, RSTART + 10, RLENGTH - 10); i++ }
             printf "Types: deb-src\nURIs: %s\nSuites: %s\nComponents:", $i, $(i + 1)
             for (j = i + 2; j <= NF; j++) printf " %s", $j
             printf "\n%s\n", signed == "" ? "" : "Signed-By: " signed "\n" }'
  } > "$entries"
  if ! cmp -s "$entries" "$sources"; then
    echo "== deb-src entries for apt-get source in $sources" >&2
    "${sudo[@]}" install -m 644 "$entries" "$sources"
  fi
  rm -f "$entries"
  "${sudo[@]}" apt-get update -qq
fi

mkdir -p "$(dirname "$prefix")"
exec 9> "$prefix.lock"
flock 9  # one build of a prefix at a time
if [ -f "$prefix/$stamp" ]; then echo "$prefix"; exit 0; fi
work=$prefix.build
upstream=${debian_version#*:}
source_dir=$work/qt6-base-${upstream%-*}
if [ ! -f "$source_dir/.deckscribe-unpacked" ]; then
  rm -rf "$work"
  mkdir -p "$work"
  (cd "$work" && apt-get source -qq "qt6-base=$debian_version" >&2)
  touch "$source_dir/.deckscribe-unpacked"
fi

# Cross-compiling with Debian's mingw-w64, the POSIX-threads flavour (std::thread needs it).
cat > "$work/mingw.cmake" <<'EOF'
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
EOF

# Direct2D stays on for the DirectWrite font engine; its own platform plugin (direct2d1_1)
# does not.
off=(sql network dbus opengl dynamicgl vulkan printsupport concurrent xml testlib icu zstd jpeg
     gif ico pdf graphicsview tabletevent direct2d1_1 androiddeployqt windeployqt)
bundled=(zlib png freetype harfbuzz pcre2 doubleconversion textmarkdownreader)
features=()
for f in "${off[@]}"; do features+=("-DFEATURE_$f=OFF"); done
for f in "${bundled[@]}"; do features+=("-DFEATURE_system_$f=OFF"); done
build=$work/build
cmake -S "$source_dir" -B "$build" -G Ninja -Wno-dev \
  -DCMAKE_TOOLCHAIN_FILE="$work/mingw.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF \
  -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_TOOLS_WHEN_CROSSCOMPILING=OFF \
  -DINPUT_opengl=no -DFEATURE_freetype=ON -DFEATURE_harfbuzz=ON -DFEATURE_png=ON \
  "${features[@]}" >&2
nice -n 19 cmake --build "$build" >&2
# The stamp, written last, marks the prefix complete.
rm -rf "$prefix"
cmake --install "$build" >/dev/null
echo "qt6-base $debian_version" > "$prefix/$stamp"
rm -rf "$work"
echo "== Qt for Windows built in $(( $(date +%s) - start )) s; $(du -sh "$prefix" | cut -f1) in $prefix" >&2
echo "$prefix"
