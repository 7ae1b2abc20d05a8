#!/usr/bin/env bash
# Builds the Debian packages and checks them as a distribution would:
#   scripts/package.sh [BUILD_DIR]     (default: build; packages land in BUILD_DIR/packages)
# The desktop entry and the AppStream metadata are validated, lintian must report no error,
# and the packages are unpacked into a scratch root whose programs are then run.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
scripts/setup.sh --package
# Debian ships no program linked static against the C library (lintian's
# statically-linked-binary error, and iconv's modules must match the C library installed):
# the packaged dkscrcmd links it dynamically and starts slower than a source build's.
scripts/build.sh "$dir" -DDKSCR_STATIC_CLI=OFF

rm -rf "$dir/packages"
(cd "$dir" && cpack -G DEB -B packages >/dev/null)
debs=("$dir"/packages/*.deb)
echo "== packages"
for deb in "${debs[@]}"; do
  printf '%s  %s bytes\n' "$(basename "$deb")" "$(stat -c %s "$deb")"
done

echo "== metadata"
desktop-file-validate app/deckscribe.desktop
appstreamcli validate --no-net app/deckscribe.metainfo.xml

echo "== lintian"
# Errors fail the build, and so does a warning that packaging/lintian-warnings.txt does not
# explain.
findings=$(lintian --fail-on error --tag-display-limit 0 "${debs[@]}")
echo "$findings"
unexplained=$(grep '^W: ' <<<"$findings" | grep -vxF -f <(grep '^W: ' packaging/lintian-warnings.txt) || true)
if [ -n "$unexplained" ]; then
  echo "lintian warnings not explained in packaging/lintian-warnings.txt:" >&2
  echo "$unexplained" >&2
  exit 1
fi

echo "== installed from the packages"
root=$(mktemp -d)
home=$(mktemp -d)
trap 'rm -rf "$root" "$home"' EXIT
for deb in "${debs[@]}"; do dpkg -x "$deb" "$root"; done
export LD_LIBRARY_PATH="$root/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH 2>/dev/null || echo x86_64-linux-gnu)${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}"
for f in samples/*.ppt samples/*.pptx; do
  cmp <("$root/usr/bin/dkscrcmd" -c65001 "$f" '*') <("$dir/cli/dkscrcmd" -c65001 "$f" '*')
  echo "dkscrcmd $f: same bytes as the build's"
done
if [ -x "$root/usr/bin/Deckscribe" ]; then
  # Offscreen for two seconds, then closed by SIGTERM the normal way: it must exit with 0.
  DECKSCRIBE_HOME=$home QT_QPA_PLATFORM=offscreen \
    timeout --preserve-status -s TERM 2 "$root/usr/bin/Deckscribe"
  [ -f "$home/Deckscribe.dat" ] || { echo "Deckscribe saved no settings" >&2; exit 1; }
  echo "Deckscribe: started, closed, settings saved"
fi
