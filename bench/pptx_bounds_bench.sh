#!/usr/bin/env bash
# Time and peak memory of dkscrcmd on hostile .pptx packages: directories of 65,535 entries
# (listed in order and in reverse order) and packages built to reach each bound of one
# conversion (slide XML, tags, text). Every run must end within 10 s and 512 MiB.
#
#   bench/pptx_bounds_bench.sh [BUILD_DIR]
#
# BUILD_DIR defaults to build (needs cli/dkscrcmd). The packages are written by Python's
# zipfile into a temporary folder. Prints, per package: its size, the exit code, wall and CPU
# seconds and the peak resident memory.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cmd=$build/cli/dkscrcmd
python=${PYTHON:-python3}
[ -x "$cmd" ] || { echo "missing $cmd: build first (scripts/build.sh $build)" >&2; exit 1; }
[ -x /usr/bin/time ] || { echo "missing /usr/bin/time (Debian package time)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$python" - "$work" <<'EOF'
import os, sys, zipfile
out = sys.argv[1]
MiB = 1 << 20

def slide(body):
    return '<p:sld xmlns:a="a"><p:txBody>' + body + '</p:txBody></p:sld>'

def package(name, slides, picture=0, compression=zipfile.ZIP_DEFLATED, fill=0, reverse=False):
    with zipfile.ZipFile(os.path.join(out, name), 'w', compression, compresslevel=9) as z:
        z.writestr('[Content_Types].xml', '<Types/>')
        z.writestr('_rels/.rels', '<Relationships/>')
        if picture:  # incompressible, as a picture is: the package grows honestly
            z.writestr(zipfile.ZipInfo('ppt/media/image1.png'), os.urandom(picture), zipfile.ZIP_STORED)
        for i in range(fill):
            z.writestr('ppt/media/m%06d.bin' % i, b'')
        for i, body in enumerate(slides, 1):
            z.writestr('ppt/slides/slide%d.xml' % i, slide(body))
        if reverse:
            z.filelist.reverse()

small = ['<a:p><a:t>slide %d</a:t></a:p>' % i for i in range(3)]
package('entries-65535.pptx', small, compression=zipfile.ZIP_STORED, fill=65535 - 5)
package('entries-65535-reversed.pptx', small, compression=zipfile.ZIP_STORED, fill=65535 - 5, reverse=True)
# Slides of 16 MiB that pack into about 16 KB each: past the budget of so small a package.
run = '<a:p><a:t>' + 'w' * 400 + '</a:t></a:p>'
package('xml-8x16MiB.pptx', [run * (16 * MiB // len(run))] * 8)
# Slides just under 32 MiB without text, 248 MiB in all: within every bound of a 4 MiB package.
package('xml-8x31MiB-4MiB.pptx', ['<a:p x="' + 'v' * (31 * MiB) + '"/>'] * 8, picture=4 * MiB)
# Slides just under 256K tags each, in a package large enough for 16M tags in all.
package('tags-70x256K.pptx', ['<a/>' * (256 * 1024 - 8)] * 70, picture=4 * MiB)
# Lone line feeds just under 40 MiB of CR LF text, the most for encoding to hold.
package('text-lf-4x5MiB.pptx', ['<a:p><a:t>x' + '\n' * (5 * MiB - 64) + 'x</a:t></a:p>'] * 4, picture=1 * MiB)
EOF

printf '%-30s %10s %5s %8s %8s %10s\n' package bytes exit wall_s cpu_s peak_kB
for f in "$work"/*.pptx; do
  for cp in 65001 1200; do
    case $(basename "$f") in entries-*) [ "$cp" = 1200 ] && continue ;; esac
    set +e
    /usr/bin/time -f '%e %U %S %M' -o "$work/time" "$cmd" -c"$cp" -o "$f" "$work/out.txt" >/dev/null 2>&1
    code=$?
    set -e
    read -r wall user sys peak < <(tail -n 1 "$work/time")
    printf '%-30s %10d %5d %8.2f %8.2f %10d\n' "$(basename "$f") c$cp" "$(stat -c %s "$f")" \
      "$code" "$wall" "$(awk -v u="$user" -v s="$sys" 'BEGIN { print u + s }')" "$peak"
  done
done
